#include "world/GameStateManager.h"

#include <gtest/gtest.h>

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

}  // namespace
