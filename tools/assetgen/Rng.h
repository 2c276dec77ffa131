#pragma once

#include <cstdint>

// Small seeded generator (SplitMix64) so every run of the generator paints the same pixels and
// places the same vertices; the C library's rand() differs between platforms and is shared state.
class Rng {
public:
    explicit Rng(uint64_t seed) : state(seed) {}

    uint64_t nextU64();
    uint32_t nextU32() { return static_cast<uint32_t>(nextU64() >> 32); }
    // Uniform in [0, 1).
    float uniform();
    // Uniform in [lo, hi).
    float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }
    // Uniform integer in [0, n).
    int below(int n);

private:
    uint64_t state;
};
