#pragma once

#include <glm/glm.hpp>

#include <string>

class btDynamicsWorld;

// How far the spawners look down for ground: from the drop height (at most 99) to below the map.
constexpr float kGroundDropLength = 200.0f;

// Straight down from `from` by kGroundDropLength: the first point hit (or `from` on a miss). On a hit
// the name of what was hit is written to `groundName` (bodies without an owner leave it as it was);
// a miss leaves it as it was.
glm::vec3 dropToGround(const glm::vec3& from, btDynamicsWorld* world, std::string& groundName);
