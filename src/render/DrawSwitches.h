#pragma once

// What drawing takes from the application's switches and settings, read at every draw so that a
// switch flipped between two frames counts from the next one. The pointers must outlive the drawer.
struct DrawSwitches {
    const bool* cullingEnabled;  // frustum culling of batched models and terrain chunks (F8)
    const float* brightness;     // the brightness factor of the settings
};
