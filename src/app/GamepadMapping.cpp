#include "app/GamepadMapping.h"

#include <cmath>
#include <utility>

namespace {

// The stick's tilt with the dead zone cut out and the rest stretched back to -1 .. 1.
float tilt(float axis) {
    const float outside = std::fabs(axis) - GamepadMapping::kStickDeadZone;
    if (outside <= 0.0f) return 0.0f;
    return std::copysign(std::fmin(outside / (1.0f - GamepadMapping::kStickDeadZone), 1.0f), axis);
}

bool triggerHeld(float axis, bool wasHeld) {
    return axis > (wasHeld ? GamepadMapping::kTriggerUp : GamepadMapping::kTriggerDown);
}

}  // namespace

void GamepadMapping::update(const GLFWgamepadstate* state, float dt) {
    before = now;
    if (state == nullptr) {
        now = Buttons{};
        forward = back = left = right = jump = false;
        return;
    }
    const float* axes = state->axes;
    now.fire = triggerHeld(axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER], before.fire);
    now.dash = triggerHeld(axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER], before.dash);
    now.pause = state->buttons[GLFW_GAMEPAD_BUTTON_START] == GLFW_PRESS;
    now.newWorld = state->buttons[GLFW_GAMEPAD_BUTTON_Y] == GLFW_PRESS;
    jump = state->buttons[GLFW_GAMEPAD_BUTTON_A] == GLFW_PRESS;

    // Stick y grows downwards, as the cursor's does.
    const float walk = tilt(axes[GLFW_GAMEPAD_AXIS_LEFT_Y]), turn = tilt(axes[GLFW_GAMEPAD_AXIS_LEFT_X]);
    forward = walk < -kWalkTilt;
    back = walk > kWalkTilt;
    left = turn < -kWalkTilt;
    right = turn > kWalkTilt;
    lookPixels +=
        glm::vec2(tilt(axes[GLFW_GAMEPAD_AXIS_RIGHT_X]), tilt(axes[GLFW_GAMEPAD_AXIS_RIGHT_Y])) * (kLookSpeed * dt);
}

void GamepadMapping::addHeldKeys(std::vector<int>& keys) const {
    const std::pair<PlayerKey, bool> held[] = {
        {kKeyW, forward}, {kKeyA, left}, {kKeyS, back}, {kKeyD, right}, {kKeySpace, jump}};
    for (const auto& [key, down] : held) {
        if (down && static_cast<size_t>(key) < keys.size()) keys[key] = GLFW_PRESS;
    }
}
