#include "app/GamepadMapping.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A pad at rest: sticks centred, triggers released (-1), no button down.
struct Pad : GLFWgamepadstate {
    Pad() : GLFWgamepadstate{} { axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = -1; }
};

// The key states with `held` down.
std::vector<int> keysHeld(std::initializer_list<PlayerKey> held) {
    std::vector<int> keys(kPlayerKeyCount, 0);
    for (PlayerKey key : held) keys[key] = 1;
    return keys;
}

std::vector<int> withKeys(const GamepadMapping& mapping, std::vector<int> keys = keysHeld({})) {
    mapping.addHeldKeys(keys);
    return keys;
}

TEST(GamepadMappingTest, LeftStickWalksAndTurnsAJumpsBesideTheKeyboardUntilThePadIsPulledOut) {
    GamepadMapping mapping;
    Pad pad;
    pad.axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = -0.9f;  // pushed away: forward
    pad.axes[GLFW_GAMEPAD_AXIS_LEFT_X] = 0.8f;   // and right: turn right
    pad.buttons[GLFW_GAMEPAD_BUTTON_A] = GLFW_PRESS;
    mapping.update(&pad, 0.016f);
    EXPECT_EQ(withKeys(mapping), keysHeld({kKeyW, kKeyD, kKeySpace}));

    pad = Pad();
    pad.axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = 0.3f;  // a slight tilt does nothing
    pad.axes[GLFW_GAMEPAD_AXIS_LEFT_X] = -1.0f;
    mapping.update(&pad, 0.016f);
    EXPECT_EQ(withKeys(mapping, keysHeld({kKeyS, kKeyLeftShift})), keysHeld({kKeyA, kKeyS, kKeyLeftShift}));

    mapping.update(nullptr, 0.016f);
    EXPECT_EQ(withKeys(mapping), keysHeld({}));
}

TEST(GamepadMappingTest, TriggersAndButtonsActOncePerPressAndTheRightStickLooks) {
    GamepadMapping mapping;
    Pad pad;
    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = 0.35f;  // not pulled far enough yet
    mapping.update(&pad, 0.016f);
    EXPECT_FALSE(mapping.fired());
    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = 0.9f;
    pad.buttons[GLFW_GAMEPAD_BUTTON_START] = GLFW_PRESS;
    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_X] = 1.0f;
    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_Y] = -0.6f;  // half way out of the dead zone: half speed, up
    mapping.update(&pad, 0.5f);
    EXPECT_TRUE(mapping.fired() && mapping.pausePressed());
    EXPECT_FALSE(mapping.dashed() || mapping.newWorldPressed());
    EXPECT_LT(glm::distance(mapping.look(), glm::vec2(0.5f, -0.25f) * GamepadMapping::kLookSpeed), 0.01f);

    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = 0.35f;  // easing off, not let go: no second shot
    mapping.update(&pad, 0.25f);
    EXPECT_FALSE(mapping.fired() || mapping.pausePressed());
    EXPECT_LT(glm::distance(mapping.look(), glm::vec2(0.75f, -0.375f) * GamepadMapping::kLookSpeed), 0.01f);

    pad = Pad();
    pad.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = 1.0f;
    pad.buttons[GLFW_GAMEPAD_BUTTON_Y] = GLFW_PRESS;
    mapping.update(&pad, 0.016f);
    EXPECT_TRUE(mapping.dashed() && mapping.newWorldPressed());
    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = 0.9f;  // a new pull fires again
    mapping.update(&pad, 0.016f);
    EXPECT_TRUE(mapping.fired());
    EXPECT_FALSE(mapping.dashed() || mapping.newWorldPressed());
}

}  // namespace
