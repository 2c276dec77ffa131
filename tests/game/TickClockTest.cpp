#include "game/PlayerInput.h"
#include "game/TickClock.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr int64_t kMs = 1000000;  // nanoseconds

// Frames of any length run the ticks their time allows, the rest waiting for the next frame; a stall
// runs at most five and the rest is dropped, however long it was.
TEST(TickClock, FramesRunTheTicksTheirTimeAllowsAndAStallNoMoreThanFive) {
    TickClock clock(60, 5);
    // Far up the steady clock, with room for the hour below.
    int64_t now = std::numeric_limits<int64_t>::max() - 3700000 * kMs;
    EXPECT_EQ(clock.advance(now), 0) << "the first reading only starts the clock";
    int ticks = 0;
    for (int frame = 0; frame < 103; ++frame) ticks += clock.advance(now += 7 * kMs);
    EXPECT_EQ(ticks, 43) << "0.721 s of 7 ms frames";
    EXPECT_NEAR(clock.alpha(), 0.721 * 60 - 43, 1e-6);
    EXPECT_EQ(clock.advance(now += 100 * kMs), 5) << "6.7 ticks due: five run";
    EXPECT_EQ(clock.alpha(), 0.0f) << "the rest dropped";
    EXPECT_EQ(clock.advance(now += 90 * kMs), 5) << "5.4 ticks due: five run";
    EXPECT_NEAR(clock.alpha(), 0.4, 1e-6) << "and the rest waits";
    EXPECT_EQ(clock.advance(now += 3600000 * kMs), 5) << "an hour's suspend";
    EXPECT_EQ(clock.advance(now -= 5000 * kMs), 0) << "a clock going back lets no time pass";
    EXPECT_EQ(clock.advance(now += 16 * kMs), 0);
    EXPECT_EQ(clock.advance(now += 1 * kMs), 1);
    clock.restart(now += 500 * kMs);
    EXPECT_EQ(clock.advance(now += 10 * kMs), 0) << "the half second before the restart does not count";
}

// A tick takes the keys held in any frame since the last tick (a tap between two ticks is not lost),
// the mouse's turns and pitches, and one press of fire and dash each; the free look stays within the
// window and a paused cursor moves nothing.
TEST(PlayerInput, TicksTakeWhatWasHeldAndPressedSinceTheLastOneOnce) {
    PlayerInput input;
    const glm::vec2 limit(160, 120);
    std::vector<int> keys(kPlayerKeyCount, 0);
    input.frame({10, 10}, keys, true, limit);  // the first frame only finds where the cursor rests
    keys[kKeySpace] = 1;
    input.frame({10, 10}, keys, true, limit);
    keys[kKeySpace] = 0;
    keys[kKeyW] = 1;
    input.frame({30, 60}, keys, true, limit);  // 20 right, 50 down: free look, pitch down
    input.fire();
    input.fire();
    input.dash();
    const TickInput first = input.take({0, 0, -1});
    EXPECT_TRUE(first.held(kKeySpace) && first.held(kKeyW) && first.fire && first.dash);
    EXPECT_FLOAT_EQ(first.pitch, -0.05f);
    EXPECT_EQ(first.turn, 0.0f);
    EXPECT_EQ(input.lookOffset(), glm::vec2(20, -50));
    const TickInput second = input.take({0, 0, -1});
    EXPECT_TRUE(second.held(kKeyW) && !second.held(kKeySpace) && second.fire && !second.dash);
    EXPECT_EQ(second.pitch, 0.0f);
    EXPECT_FALSE(input.take({0, 0, -1}).fire);

    keys[kKeyLeftShift] = 1;
    input.frame({130, 60}, keys, true, limit);  // shift: 100 right turns the cat and recentres the look
    EXPECT_FLOAT_EQ(input.take({0, 0, -1}).turn, -0.5f);
    EXPECT_EQ(input.lookOffset(), glm::vec2(0.0f));
    keys[kKeyLeftShift] = 0;
    input.frame({900, -900}, keys, true, limit);
    EXPECT_EQ(input.lookOffset(), glm::vec2(160, 120)) << "the crosshair stops at the window's edge";
    input.frame({0, 0}, keys, false, limit);  // paused: the free cursor wanders
    input.frame({500, 500}, keys, false, limit);
    input.frame({600, 500}, keys, true, limit);  // resumed elsewhere: a rest, not a move
    EXPECT_EQ(input.lookOffset(), glm::vec2(160, 120));
}

// Turn mode: the mouse turns the cat and pitches the eye at one rate, the crosshair stays in the
// middle; the sensitivity scales every look and invert Y flips the pitch, in either mode, from the
// next frame on.
TEST(PlayerInput, TurnModeTurnsTheCatAndSensitivityAndInvertYApplyToBothModes) {
    PlayerInput input;
    const glm::vec2 limit(160, 120);
    const std::vector<int> keys(kPlayerKeyCount, 0);
    input.frame({0, 0}, keys, true, limit);
    input.frame({50, 0}, keys, true, limit);  // crosshair mode: the look moves
    input.setLook({MouseMode::Turn, 2.0f, false, 60.0f});
    EXPECT_EQ(input.lookOffset(), glm::vec2(0.0f)) << "turn mode centres the crosshair";
    input.take({0, 0, -1});
    input.frame({150, 20}, keys, true, limit);  // 100 right, 20 down at twice the speed
    TickInput tick = input.take({0, 0, -1});
    EXPECT_FLOAT_EQ(tick.turn, -200.0f * PlayerInput::kTurnModePerPixel);
    EXPECT_FLOAT_EQ(tick.pitch, -40.0f * PlayerInput::kTurnModePerPixel);
    EXPECT_EQ(input.lookOffset(), glm::vec2(0.0f));

    input.setLook({MouseMode::Turn, 1.0f, true, 60.0f});
    input.frame({150, 30}, keys, true, limit);
    EXPECT_FLOAT_EQ(input.take({0, 0, -1}).pitch, 10.0f * PlayerInput::kTurnModePerPixel) << "inverted";

    input.setLook({MouseMode::Crosshair, 0.5f, true, 60.0f});
    input.frame({170, 50}, keys, true, limit);  // 20 right, 20 down, halved and inverted
    tick = input.take({0, 0, -1});
    EXPECT_EQ(tick.turn, 0.0f);
    EXPECT_FLOAT_EQ(tick.pitch, 10.0f * PlayerInput::kPitchPerPixel);
    EXPECT_EQ(input.lookOffset(), glm::vec2(10, 10));
}

}  // namespace
