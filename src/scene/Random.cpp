#include "scene/Random.h"

#include <chrono>
#include <random>

void Random::reseed(uint32_t seed) {
    if (seed == 0) seed = 1;
    // The minimal standard generator (16807 x mod 2^31 - 1) fills the words, without overflow.
    int64_t word = static_cast<int32_t>(seed);
    words[0] = static_cast<int32_t>(word);
    for (int i = 1; i < kWords; ++i) {
        const int64_t hi = word / 127773, lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0) word += 2147483647;
        words[i] = static_cast<int32_t>(word);
    }
    front = kSeparation;
    rear = 0;
    // The first ten rounds of the words are thrown away, as the C library does.
    for (int i = 0; i < 10 * kWords; ++i) next31();
}

int32_t Random::next31() {
    const uint32_t sum = static_cast<uint32_t>(words[front]) + static_cast<uint32_t>(words[rear]);
    words[front] = static_cast<int32_t>(sum);
    front = (front + 1) % kWords;
    rear = (rear + 1) % kWords;
    return static_cast<int32_t>(sum >> 1);
}

int Random::draw() { return static_cast<int>(next31() >> 16); }

unsigned int freshSeed() {
    std::random_device entropy;
    const auto ticks = static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    std::seed_seq mixed{entropy(), entropy(), static_cast<unsigned int>(ticks), static_cast<unsigned int>(ticks >> 32)};
    unsigned int seed = 0;
    mixed.generate(&seed, &seed + 1);
    return seed;
}
