#include "Rng.h"

uint64_t Rng::nextU64() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

float Rng::uniform() {
    // 24 random bits give every float in [0, 1) with a 2^-24 step.
    return static_cast<float>(nextU64() >> 40) * (1.0f / 16777216.0f);
}

int Rng::below(int n) { return n <= 0 ? 0 : static_cast<int>(nextU64() % static_cast<uint64_t>(n)); }
