#pragma once

#include <glm/glm.hpp>

#include <cstdint>
#include <string>

// A 64-bit FNV-1a hash over the exact bits of the values added, in order: two states hash alike only
// when every value is the same to the bit.
class StateHash {
public:
    void add(int64_t value);
    void add(int32_t value) { add(static_cast<int64_t>(value)); }
    void add(float value);
    void add(const glm::vec3& value);

    uint64_t value() const { return state; }
    // 16 lower-case hex digits.
    static std::string hex(uint64_t value);

private:
    void addBytes(const unsigned char* bytes, size_t count);

    uint64_t state = 14695981039346656037ull;
};
