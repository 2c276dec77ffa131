#include "app/CursorOffset.h"
#include "app/FrameLimiter.h"
#include "app/FrameWork.h"
#include "app/KeysHeldOver.h"
#include "app/WindowFit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

using namespace std::chrono_literals;

TEST(FrameLimiter, PadsQuickFramesToTheLimitAndNeverCatchesUpAfterSlowOnes) {
    FrameLimiter::TimePoint now{};
    std::vector<std::chrono::nanoseconds> sleeps;
    FrameLimiter limiter(
        50, [&now] { return now; },
        [&](std::chrono::nanoseconds d) {
            sleeps.push_back(d);
            now += d + 1ms;  // sleeping overshoots a little
        });
    limiter.endFrame();  // the first frame sets the pace
    EXPECT_TRUE(sleeps.empty());
    now += 5ms;
    limiter.endFrame();
    ASSERT_EQ(sleeps.size(), 1u);
    EXPECT_EQ(sleeps[0], 15ms);
    now += 5ms;  // the overshoot is taken from this frame's wait, not added to the period
    limiter.endFrame();
    ASSERT_EQ(sleeps.size(), 2u);
    EXPECT_EQ(sleeps[1], 14ms);
    now += 45ms;  // a slow frame: no wait, and the next quick frame is not cut short
    limiter.endFrame();
    now += 5ms;
    limiter.endFrame();
    ASSERT_EQ(sleeps.size(), 3u);
    EXPECT_EQ(sleeps[2], 15ms);

    bool slept = false;
    FrameLimiter unlimited(
        0, [&now] { return now; }, [&slept](std::chrono::nanoseconds) { slept = true; });
    for (int i = 0; i < 3; ++i) unlimited.endFrame();
    EXPECT_FALSE(slept);
}

// Space held on Play does not jump when the round starts; it jumps once let go and pressed again, and
// keys pressed after the menu closed count at once.
TEST(KeysHeldOver, KeysHeldAsAMenuClosesWaitUntilLetGo) {
    KeysHeldOver filter;
    std::vector<int> keys = {0, 1};  // W up, space down on the title
    filter.filter(keys, true);
    EXPECT_EQ(keys, (std::vector<int>{0, 0}));
    keys = {1, 1};  // the round runs; W pressed now, space still held from the menu
    filter.filter(keys, false);
    EXPECT_EQ(keys, (std::vector<int>{1, 0}));
    keys = {1, 0};
    filter.filter(keys, false);
    keys = {1, 1};
    filter.filter(keys, false);
    EXPECT_EQ(keys, (std::vector<int>{1, 1}));
}

// A standing menu over a paused world draws nothing; a menu that changed, or a window that lost its
// picture, puts the kept world back under the menu; play, a world still moving under the menu or a
// changed option draw everything.
TEST(FrameWork, OnlyWhatChangedUnderAMenuIsDrawn) {
    FrameState standing;
    standing.menuOpen = standing.menuUnchanged = standing.worldStill = true;
    const auto standingBut = [&standing](bool FrameState::*flag, bool value) {
        FrameState state = standing;
        state.*flag = value;
        return state;
    };
    EXPECT_EQ(frameWork(standing), FrameWork::Nothing);
    FrameState changed = standingBut(&FrameState::menuUnchanged, false);
    EXPECT_EQ(frameWork(changed), FrameWork::MenuOverKept);
    EXPECT_EQ(frameWork(standingBut(&FrameState::redrawAsked, true)), FrameWork::MenuOverKept);
    EXPECT_EQ(frameWork(standingBut(&FrameState::menuOpen, false)), FrameWork::Everything);
    EXPECT_EQ(frameWork(standingBut(&FrameState::worldStill, false)), FrameWork::Everything);
    changed.worldChanged = true;
    EXPECT_EQ(frameWork(changed), FrameWork::Everything);
}

TEST(CursorOffset, CountsFromTheWindowCentreInFramebufferPixels) {
    EXPECT_EQ(cursorOffset(500.0, 100.0, 960, 540, 960, 540), glm::vec2(20.0f, -170.0f));
    // A display scaled by 2: screen units are two framebuffer pixels.
    EXPECT_EQ(cursorOffset(500.0, 100.0, 960, 540, 1920, 1080), glm::vec2(40.0f, -340.0f));
    EXPECT_EQ(cursorOffset(500.0, 100.0, 960, 540, 1440, 1080), glm::vec2(30.0f, -340.0f)) << "each axis its own";
    // Minimised: no size to scale by, and no division by zero.
    EXPECT_EQ(cursorOffset(10.0, 10.0, 0, 0, 0, 0), glm::vec2(10.0f, 10.0f));
}

TEST(WindowFit, ALargerWindowShrinksIntoTheWorkAreaKeepingItsShape) {
    const WindowSize laptop = fitToWorkArea({1920, 1080}, {1366, 768});
    EXPECT_EQ(laptop.width, 1365);
    EXPECT_EQ(laptop.height, 768);
    const WindowSize tall = fitToWorkArea({1000, 2000}, {1920, 1040});
    EXPECT_EQ(tall.width, 520);
    EXPECT_EQ(tall.height, 1040);
    const WindowSize unknown = fitToWorkArea({1920, 1080}, {0, 0});
    EXPECT_EQ(unknown.width, 1920);
    EXPECT_EQ(unknown.height, 1080);
}

// F11 fills the monitor that holds most of the window: two side by side, one above at negative y.
TEST(WindowFit, FullScreenGoesToTheMonitorHoldingMostOfTheWindow) {
    const std::vector<ScreenRect> monitors = {{0, 0, 1920, 1080}, {1920, 0, 2560, 1440}, {0, -1080, 1920, 1080}};
    EXPECT_EQ(monitorUnder({100, 100, 960, 540}, monitors), 0);
    EXPECT_EQ(monitorUnder({1500, 100, 960, 540}, monitors), 1) << "540 of its 960 columns on the second";
    EXPECT_EQ(monitorUnder({1000, 100, 960, 540}, monitors), 0) << "920 on the first";
    EXPECT_EQ(monitorUnder({100, -600, 960, 540}, monitors), 2);
    EXPECT_EQ(monitorUnder({9000, 9000, 960, 540}, monitors), 0) << "on none: the first";
    EXPECT_EQ(monitorUnder({0, 0, 960, 540}, {}), -1);
}
