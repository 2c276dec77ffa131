#include "game/Clock.h"
#include "game/GameStateManager.h"
#include "scene/Random.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace {

TEST(GameStateManager, TextsOfTimeHealthAndScore) {
    GameStateManager state;
    EXPECT_EQ(state.getTimeText() + state.getHealthText() + state.getScoreText(), "01:00Health: 100%Score: 0");

    // Time rounds up to whole seconds, so 00:00 shows only when the time is really gone.
    const std::pair<int32_t, const char*> times[] = {{59001, "01:00"}, {59000, "00:59"},       {1, "00:01"},
                                                     {-250, "00:00"},  {605000, "10:05"},      {0, "00:00"},
                                                     {10999, "00:11"}, {INT32_MAX, "35791:24"}};
    for (const auto& [ms, text] : times) {
        state.timeLeft = ms;
        EXPECT_EQ(state.getTimeText(), text) << ms;
    }
    // Health is a whole percent, halves rounded away from zero.
    const std::pair<float, const char*> healths[] = {
        {0.9f, "Health: 90%"}, {0.125f, "Health: 13%"}, {0.994f, "Health: 99%"}, {-0.125f, "Health: -13%"}};
    for (const auto& [health, text] : healths) {
        state.health = health;
        EXPECT_EQ(state.getHealthText(), text) << health;
    }
    state.score = 1234;
    EXPECT_EQ(state.getScoreText(), "Score: 1234");
}

TEST(Clock, ElapsedTimeSurvivesTheWrapOfTheMillisecondCounter) {
    EXPECT_EQ(elapsedMs(std::numeric_limits<int32_t>::min() + 9, std::numeric_limits<int32_t>::max() - 10), 20);
    const int32_t now = systemClockMs();
    EXPECT_GE(elapsedMs(systemClockMs(), now), 0);
    EXPECT_LT(elapsedMs(systemClockMs(), now), 1000);
}

TEST(RandomDraw, SpansFifteenBitsAndFollowsTheSeed) {
    std::srand(42);
    std::vector<int> draws(200);
    for (int& draw : draws) draw = randomDraw();
    const auto [lowest, highest] = std::minmax_element(draws.begin(), draws.end());
    EXPECT_TRUE(*lowest >= 0 && *lowest < 2000 && *highest <= 32767 && *highest > 30000) << *lowest << ", " << *highest;
    std::srand(42);
    EXPECT_EQ(randomDraw(), draws[0]);
}

// R pressed twice within one second must still give two different worlds.
TEST(RandomDraw, FreshSeedsDifferEvenWithinOneSecond) {
    std::set<unsigned int> seeds;
    for (int i = 0; i < 100; ++i) seeds.insert(freshSeed());
    EXPECT_EQ(seeds.size(), 100u);
}

}  // namespace
