#include "game/Clock.h"

#include <gtest/gtest.h>

#include <limits>

TEST(Clock, ElapsedTimeSurvivesTheWrapOfTheMillisecondCounter) {
    EXPECT_EQ(elapsedMs(1020, 1000), 20);
    EXPECT_EQ(elapsedMs(0, 0), 0);
    const int32_t max = std::numeric_limits<int32_t>::max();
    const int32_t min = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(elapsedMs(min + 9, max - 10), 20);
    EXPECT_EQ(elapsedMs(5, -15), 20);
}

TEST(Clock, SystemClockAdvances) {
    const int32_t a = systemClockMs();
    const int32_t b = systemClockMs();
    EXPECT_GE(elapsedMs(b, a), 0);
    EXPECT_LT(elapsedMs(b, a), 1000);
}
