#pragma once

#include <cstdint>

// The random draws of one world: its landscape, grass, diamonds, fountains and enemies, and its
// rabbits' timers and wandering. Each world (and each effect that draws for its own look) holds its
// own generator, so nothing else in the process moves a world's sequence and one seed makes one world.
// The sequence is that of the C library's random() on glibc (an additive feedback generator over 31
// words, seeded through the minimal standard generator), so a seed gives the same world as it did
// when the game drew from rand().
class Random {
public:
    explicit Random(uint32_t seed = 1) { reseed(seed); }

    // Starts the sequence of `seed` again (0 counts as 1, as in the C library).
    void reseed(uint32_t seed);
    // The next draw, 0 to 32767: the top 15 of the generator's 31 bits. The game's formulas are
    // written for that range.
    int draw();
    // The next draw of all 31 bits, 0 to 2147483647.
    int32_t next31();

private:
    static constexpr int kWords = 31;
    static constexpr int kSeparation = 3;
    int32_t words[kWords];
    int front = kSeparation;
    int rear = 0;
};

// A seed for a new world from the system's entropy source mixed with a high-resolution clock: two
// worlds made within the same second (R pressed twice) still get different seeds.
unsigned int freshSeed();
