#pragma once

#include <optional>
#include <string>

// How the mouse (and the pad's right stick) looks about: in `Crosshair` mode it moves the crosshair and
// pitches the eye (shift held turns the cat); in `Turn` mode it turns the cat and pitches the eye,
// and the crosshair stays in the middle.
enum class MouseMode { Crosshair, Turn };

struct LookSettings {
    MouseMode mode = MouseMode::Crosshair;
    float sensitivity = 1.0f;   // a multiple of the usual speed of every look, above 0
    bool invertY = false;       // moving the mouse up looks down
    float fieldOfView = 60.0f;  // vertical, in degrees

    static constexpr float kMinSensitivity = 0.05f;
    static constexpr float kMaxSensitivity = 20.0f;
    static constexpr float kMinFieldOfView = 30.0f;
    static constexpr float kMaxFieldOfView = 120.0f;
};

// "crosshair" or "turn".
const char* mouseModeName(MouseMode mode);
// The mode named `word` (any letter case), or nothing.
std::optional<MouseMode> parseMouseMode(const std::string& word);
