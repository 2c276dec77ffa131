#include "app/GamepadMapping.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A pad at rest: sticks centred, triggers released (-1), no button down.
GLFWgamepadstate restingPad() {
    GLFWgamepadstate pad{};
    pad.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = -1.0f;
    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = -1.0f;
    return pad;
}

std::vector<int> heldKeys(const GamepadMapping& mapping, std::vector<int> keys = std::vector<int>(6, 0)) {
    mapping.addHeldKeys(keys);
    return keys;
}

TEST(GamepadMappingTest, LeftStickWalksAndTurnsAJumpsBesideTheKeyboard) {
    GamepadMapping mapping;
    GLFWgamepadstate pad = restingPad();
    pad.axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = -0.9f;  // pushed away: forward
    pad.axes[GLFW_GAMEPAD_AXIS_LEFT_X] = 0.8f;   // right: turn right
    pad.buttons[GLFW_GAMEPAD_BUTTON_A] = GLFW_PRESS;
    mapping.update(&pad, 0.016f);
    EXPECT_EQ(heldKeys(mapping), (std::vector<int>{1, 0, 0, 1, 1, 0}));

    pad = restingPad();
    pad.axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = 0.3f;  // a slight tilt does nothing
    pad.axes[GLFW_GAMEPAD_AXIS_LEFT_X] = -1.0f;
    mapping.update(&pad, 0.016f);
    // The keyboard's own keys (S and shift here) stay held.
    EXPECT_EQ(heldKeys(mapping, {0, 0, 1, 0, 0, 1}), (std::vector<int>{0, 1, 1, 0, 0, 1}));

    mapping.update(nullptr, 0.016f);  // the pad pulled out mid-turn: nothing stays held
    EXPECT_EQ(heldKeys(mapping), (std::vector<int>(6, 0)));
}

TEST(GamepadMappingTest, TriggersAndButtonsActOncePerPress) {
    GamepadMapping mapping;
    GLFWgamepadstate pad = restingPad();
    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = 0.9f;
    pad.buttons[GLFW_GAMEPAD_BUTTON_START] = GLFW_PRESS;
    mapping.update(&pad, 0.016f);
    EXPECT_TRUE(mapping.fired());
    EXPECT_TRUE(mapping.pausePressed());
    EXPECT_FALSE(mapping.dashed());
    EXPECT_FALSE(mapping.newWorldPressed());

    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = 0.35f;  // easing off, not let go: no second shot
    mapping.update(&pad, 0.016f);
    EXPECT_FALSE(mapping.fired());
    EXPECT_FALSE(mapping.pausePressed());

    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = -1.0f;
    pad.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = 1.0f;
    pad.buttons[GLFW_GAMEPAD_BUTTON_START] = GLFW_RELEASE;
    pad.buttons[GLFW_GAMEPAD_BUTTON_Y] = GLFW_PRESS;
    mapping.update(&pad, 0.016f);
    EXPECT_TRUE(mapping.dashed());
    EXPECT_TRUE(mapping.newWorldPressed());
    EXPECT_FALSE(mapping.fired());

    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = 0.9f;  // a new pull fires again
    mapping.update(&pad, 0.016f);
    EXPECT_TRUE(mapping.fired());
    EXPECT_FALSE(mapping.dashed());
}

TEST(GamepadMappingTest, RightStickLooksAtASpeedThatFollowsTheFrameTime) {
    GamepadMapping mapping;
    GLFWgamepadstate pad = restingPad();
    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_X] = 1.0f;
    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_Y] = 0.1f;  // inside the dead zone
    mapping.update(&pad, 0.5f);
    mapping.update(&pad, 0.25f);
    EXPECT_FLOAT_EQ(mapping.look().x, 0.75f * GamepadMapping::kLookSpeed);
    EXPECT_FLOAT_EQ(mapping.look().y, 0.0f);

    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_X] = 0.0f;
    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_Y] = -0.6f;  // half way out of the dead zone: half speed, upwards
    mapping.update(&pad, 1.0f);
    EXPECT_FLOAT_EQ(mapping.look().y, -0.5f * GamepadMapping::kLookSpeed);
    mapping.update(nullptr, 1.0f);  // the look so far stays where it is when the pad goes
    EXPECT_FLOAT_EQ(mapping.look().x, 0.75f * GamepadMapping::kLookSpeed);
}

}  // namespace
