#pragma once

// Only the gamepad types and constants; the OpenGL headers come from GLEW wherever they are needed.
#ifndef GLFW_INCLUDE_NONE
#define GLFW_INCLUDE_NONE
#endif
#include <GLFW/glfw3.h>
#include <glm/glm.hpp>

#include "entities/PlayerKey.h"

#include <vector>

// What a gamepad in GLFW's standard layout does: the left stick walks (up and down) and turns (left and
// right), the right stick looks like the mouse, the right trigger fires at the crosshair, the left one
// dashes there, A jumps, Start pauses and Y starts a new world. It works beside the keyboard and the
// mouse, and a pad may come and go at any time.
class GamepadMapping {
public:
    static constexpr float kStickDeadZone = 0.2f;
    static constexpr float kWalkTilt = 0.5f;     // how far the left stick goes before it walks or turns
    static constexpr float kTriggerDown = 0.5f;  // trigger axes run from -1 (released) to 1
    static constexpr float kTriggerUp = 0.2f;    // a pulled trigger counts as released again below this
    static constexpr float kLookSpeed = 900.0f;  // cursor pixels per second at full tilt

    // Takes one frame of the pad; `state` is null while none is connected, which releases everything.
    void update(const GLFWgamepadstate* state, float dt);

    // Presses W, A, S, D and space in the frame's key states (indexed by PlayerKey) where the
    // pad holds them; what the keyboard holds stays held.
    void addHeldKeys(std::vector<int>& keys) const;
    // The right stick's look so far, in cursor pixels, to add to the mouse cursor's offset.
    glm::vec2 look() const { return lookPixels; }

    // True in the one frame the trigger or button went down.
    bool fired() const { return now.fire && !before.fire; }
    bool dashed() const { return now.dash && !before.dash; }
    bool pausePressed() const { return now.pause && !before.pause; }
    bool newWorldPressed() const { return now.newWorld && !before.newWorld; }

private:
    struct Buttons {
        bool fire = false;
        bool dash = false;
        bool pause = false;
        bool newWorld = false;
    };
    Buttons now;
    Buttons before;
    bool forward = false, back = false, left = false, right = false, jump = false;
    glm::vec2 lookPixels{0.0f};
};
