#include "scene/Random.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <random>

int randomDraw() {
    static_assert(RAND_MAX >= 32767, "rand() must deliver at least 15 bits");
    return static_cast<int>(static_cast<long long>(std::rand()) * 32768 / (static_cast<long long>(RAND_MAX) + 1));
}

unsigned int freshSeed() {
    std::random_device entropy;
    const auto ticks = static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    std::seed_seq mixed{entropy(), entropy(), static_cast<unsigned int>(ticks), static_cast<unsigned int>(ticks >> 32)};
    unsigned int seed = 0;
    mixed.generate(&seed, &seed + 1);
    return seed;
}
