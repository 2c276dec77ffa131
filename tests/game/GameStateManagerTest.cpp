#include "game/GameStateManager.h"

#include <gtest/gtest.h>

namespace {

TEST(GameStateManagerTest, RoundStartsWithAFullMinuteFullHealthAndNoPoints) {
    const GameStateManager state;
    EXPECT_EQ("01:00", state.getTimeText());
    EXPECT_EQ("Health: 100%", state.getHealthText());
    EXPECT_EQ("Score: 0", state.getScoreText());
}

TEST(GameStateManagerTest, TimeTextRoundsUpToWholeSeconds) {
    const std::pair<int32_t, const char*> cases[] = {
        {60000, "01:00"}, {59001, "01:00"}, {59000, "00:59"},  {58001, "00:59"},        {10999, "00:11"}, {1, "00:01"},
        {0, "00:00"},     {-250, "00:00"},  {605000, "10:05"}, {INT32_MAX, "35791:24"},  // no overflow while rounding
                                                                                         // up
    };
    GameStateManager state;
    for (const auto& [milliseconds, expected] : cases) {
        state.timeLeft = milliseconds;
        EXPECT_EQ(expected, state.getTimeText()) << milliseconds << " ms";
    }
}

TEST(GameStateManagerTest, HealthTextIsAWholePercentWithHalvesRoundedAwayFromZero) {
    const std::pair<float, const char*> cases[] = {
        {0.9f, "Health: 90%"},   {0.0f, "Health: 0%"},    {0.125f, "Health: 13%"},   {0.375f, "Health: 38%"},
        {0.555f, "Health: 56%"}, {0.994f, "Health: 99%"}, {-0.125f, "Health: -13%"},
    };
    GameStateManager state;
    for (const auto& [health, expected] : cases) {
        state.health = health;
        EXPECT_EQ(expected, state.getHealthText()) << health;
    }
}

TEST(GameStateManagerTest, ScoreTextShowsThePoints) {
    GameStateManager state;
    state.score = 5;
    EXPECT_EQ("Score: 5", state.getScoreText());
    state.score = 1234;
    EXPECT_EQ("Score: 1234", state.getScoreText());
}

}  // namespace
