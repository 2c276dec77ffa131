#include "game/Random.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

TEST(RandomDraw, StaysInFifteenBitsAndFollowsTheSeed) {
    std::srand(42);
    int first[50];
    int low = 32767, high = 0;
    for (int& draw : first) {
        draw = randomDraw();
        low = std::min(low, draw);
        high = std::max(high, draw);
        EXPECT_GE(draw, 0);
        EXPECT_LE(draw, 32767);
    }
    EXPECT_LT(low, 8000);  // spread over the range, not squeezed into a corner of it
    EXPECT_GT(high, 24000);
    std::srand(42);
    for (int draw : first) EXPECT_EQ(randomDraw(), draw);
}

// R pressed twice within one second must still give two different worlds.
TEST(RandomDraw, FreshSeedsDifferEvenWithinOneSecond) {
    std::set<unsigned int> seeds;
    for (int i = 0; i < 100; ++i) seeds.insert(freshSeed());
    EXPECT_EQ(seeds.size(), 100u);
}
