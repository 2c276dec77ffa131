#pragma once

#include <glm/glm.hpp>

class btDynamicsWorld;

// Where a world's cat starts: on open, dry, fairly level ground as near the middle of the map as there
// is some, facing the way it sees farthest along the ground.
class OpenStart {
public:
    struct Place {
        glm::vec3 ground{0.0f};  // the point of the landscape it stands on
        float yaw = 0.0f;        // the facing (radians about +y; 0 faces -z)
        float view = 0.0f;       // how far it sees that way, at most kReach
    };

    // Views are measured this far.
    static constexpr float kReach = 100.0f;
    // A spot whose best view is at least this long is taken at once.
    static constexpr float kEnough = 60.0f;
    // Ground steeper than this (the up part of its normal) is no place to start.
    static constexpr float kLevelEnough = 0.85f;
    static constexpr int kDirections = 16;
    static constexpr float kRingStep = 10.0f;
    static constexpr int kRings = 20;
    // The views are from this high above the ground.
    static constexpr float kEyeHeight = 2.0f;

    // Tries `centre`, then rings of spots round it, nearest first: the first spot of dry landscape,
    // level enough, whose best view reaches kEnough; failing that, the one with the longest view; with no
    // dry level landscape at all, the ground below `centre` (or `centre` itself) facing -z.
    static Place find(btDynamicsWorld* world, const glm::vec3& centre);
    // How far the view from kEyeHeight above `ground`, level and turned `yaw`, goes before it meets the
    // landscape (at most kReach).
    static float viewAlong(btDynamicsWorld* world, const glm::vec3& ground, float yaw);
    // The unit direction along the ground that facing `yaw` looks.
    static glm::vec3 facing(float yaw);
};
