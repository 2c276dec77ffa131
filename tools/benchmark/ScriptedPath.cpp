#include "ScriptedPath.h"

#include <algorithm>
#include <cmath>

namespace {

enum Key { kW = 0, kA = 1, kS = 2, kD = 3, kSpace = 4, kShift = 5 };

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
        in.keys[kW] = 1;
    } else if (t < kLookFrom) {
        in.keys[kW] = 1;
        in.keys[kA] = 1;
    } else if (t < kStrafeFrom) {
        // One full swing of the cursor: the camera pitches down and up again, the crosshair sweeps
        // left and right, and the offset is back at the centre when the phase ends.
        const float phase = (t - kLookFrom) / (kStrafeFrom - kLookFrom);
        in.cursorDx = 300.0f * std::sin(2.0f * kPi * phase);
        in.cursorDy = 150.0f * std::sin(2.0f * kPi * phase);
    } else if (t < kJumpFrom) {
        // Shift turns the cat with the mouse instead of moving the crosshair, and makes D a strafe.
        const float phase = (t - kStrafeFrom) / (kJumpFrom - kStrafeFrom);
        in.keys[kD] = 1;
        in.keys[kShift] = 1;
        in.cursorDx = 200.0f * std::sin(kPi * phase);
    } else if (t < kTurnRightFrom) {
        in.keys[kW] = 1;
        in.keys[kSpace] = 1;
    } else if (t < kBackFrom) {
        in.keys[kW] = 1;
        in.keys[kD] = 1;
    } else {
        in.keys[kS] = 1;
    }
    return in;
}
