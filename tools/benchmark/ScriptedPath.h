#pragma once

#include "entities/PlayerKey.h"

#include <vector>

// The input of one benchmark frame, in the form the frame loop hands to Game::update.
struct PathInput {
    float cursorDx = 0.0f;  // virtual cursor offset from the window centre, pixels
    float cursorDy = 0.0f;
    std::vector<int> keys = std::vector<int>(kPlayerKeyCount, 0);  // indexed by PlayerKey
};

// A fixed walk through the world, stretched over any number of frames so a short run covers the
// same moves as a long one: forward, a left turn while walking, a look around (pitch and free look
// through the cursor), a strafe to the right with shift held, a jump, a right turn, and a few steps
// back. The same frame index always gives the same input.
class ScriptedPath {
public:
    explicit ScriptedPath(int frameCount);

    PathInput at(int frame) const;

private:
    int frameCount;
};
