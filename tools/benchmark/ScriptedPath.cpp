#include "ScriptedPath.h"

#include <algorithm>
#include <cmath>

namespace {

const float kPi = 3.14159265f;

// Phase boundaries as fractions of the run.
const float kTurnLeftFrom = 0.25f;
const float kLookFrom = 0.40f;
const float kStrafeFrom = 0.55f;
const float kJumpFrom = 0.70f;
const float kTurnRightFrom = 0.76f;
const float kBackFrom = 0.90f;

}  // namespace

ScriptedPath::ScriptedPath(int frames) : frameCount(std::max(frames, 1)) {}

PathInput ScriptedPath::at(int frame) const {
    PathInput in;
    const float t = static_cast<float>(frame) / static_cast<float>(frameCount);
    if (t < kTurnLeftFrom) {
        in.keys[kKeyW] = 1;
    } else if (t < kLookFrom) {
        in.keys[kKeyW] = 1;
        in.keys[kKeyA] = 1;
    } else if (t < kStrafeFrom) {
        // One full swing of the cursor: the camera pitches down and up again, the crosshair sweeps
        // left and right, and the offset is back at the centre when the phase ends.
        const float phase = (t - kLookFrom) / (kStrafeFrom - kLookFrom);
        in.cursorDx = 300.0f * std::sin(2.0f * kPi * phase);
        in.cursorDy = 150.0f * std::sin(2.0f * kPi * phase);
    } else if (t < kJumpFrom) {
        // Shift turns the cat with the mouse instead of moving the crosshair, and makes D a strafe.
        const float phase = (t - kStrafeFrom) / (kJumpFrom - kStrafeFrom);
        in.keys[kKeyD] = 1;
        in.keys[kKeyLeftShift] = 1;
        in.cursorDx = 200.0f * std::sin(kPi * phase);
    } else if (t < kTurnRightFrom) {
        in.keys[kKeyW] = 1;
        in.keys[kKeySpace] = 1;
    } else if (t < kBackFrom) {
        in.keys[kKeyW] = 1;
        in.keys[kKeyD] = 1;
    } else {
        in.keys[kKeyS] = 1;
    }
    return in;
}
