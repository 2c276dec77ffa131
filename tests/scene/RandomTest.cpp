#include "scene/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <vector>

namespace {

// A world's draws follow its seed alone, span the 15 bits the game's formulas expect, and (on glibc,
// where the game drew from rand() before) are the sequence rand() gives, so a seed makes the same
// landscape, diamonds and rabbits as it always has.
TEST(Random, DrawsSpanFifteenBitsAndFollowTheSeedAsTheCLibraryDoes) {
    Random random(42);
    std::vector<int> draws(2000);
    for (int& draw : draws) draw = random.draw();
    const auto [lowest, highest] = std::minmax_element(draws.begin(), draws.end());
    EXPECT_TRUE(*lowest >= 0 && *lowest < 200 && *highest <= 32767 && *highest > 32500) << *lowest << ", " << *highest;
    random.reseed(42);
    EXPECT_EQ(random.draw(), draws[0]);
    EXPECT_EQ(Random(0).draw(), Random(1).draw()) << "seed 0 counts as 1";
#if defined(__GLIBC__)
    for (unsigned seed : {1u, 777u, 2147483648u, 4294967295u}) {
        Random ours(seed);
        std::srand(seed);
        for (int i = 0; i < 1000; ++i) ASSERT_EQ(ours.next31(), std::rand()) << "seed " << seed << ", draw " << i;
    }
#endif
}

// R pressed twice within one second must still give two different worlds.
TEST(Random, FreshSeedsDifferEvenWithinOneSecond) {
    std::set<unsigned int> seeds;
    for (int i = 0; i < 100; ++i) seeds.insert(freshSeed());
    EXPECT_EQ(seeds.size(), 100u);
}

}  // namespace
