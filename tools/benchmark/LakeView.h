#pragma once

#include <glm/glm.hpp>

class btDynamicsWorld;

// A spot on the shore with open water in front of it, for timing frames that look over the lake.
struct LakeView {
    bool found = false;
    glm::vec3 shore{0.0f};         // on land, a little above the water line
    glm::vec2 towardsWater{0.0f};  // unit direction (x, z) along which the lake lies
};

// Scans the inner map for a land point just above the water line with lake (the first ground below
// is the water surface) 20, 40 and 60 units away in one of eight directions.
LakeView findLakeView(btDynamicsWorld* world);
