#include "world/StateHash.h"

#include <cstdio>
#include <cstring>

void StateHash::addBytes(const unsigned char* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        state ^= bytes[i];
        state *= 1099511628211ull;
    }
}

void StateHash::add(int64_t value) {
    unsigned char bytes[8];
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(static_cast<uint64_t>(value) >> (8 * i));
    addBytes(bytes, sizeof bytes);
}

void StateHash::add(float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    add(static_cast<int64_t>(bits));
}

void StateHash::add(const glm::vec3& value) {
    for (int axis = 0; axis < 3; ++axis) add(value[axis]);
}

std::string StateHash::hex(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}
