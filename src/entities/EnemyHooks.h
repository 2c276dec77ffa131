#pragma once

#include "render/TexturedMesh.h"
#include "scene/Random.h"

#include <glm/glm.hpp>

#include <functional>
#include <memory>
#include <string>

// What the enemies need from the world around them, handed in by whoever owns the enemy manager:
// firing a shot, registering a mesh for drawing and the world's random draws. Left empty, enemies
// neither shoot nor get drawn and draw from a generator of their own, which is what tests without a
// world want.
struct EnemyHooks {
    // Fires a shot: impulse, start position, lifetime in seconds and the shot's name.
    std::function<void(const glm::vec3& impulse, const glm::vec3& position, float lifetime, const std::string& name)>
        fire;
    // Registers a mesh to be drawn in the batch of `textureKey` (the texture of its material).
    std::function<void(int textureKey, const std::shared_ptr<TexturedMesh>& mesh)> addRenderable;
    // The world's draws (shot intervals, wandering, the flyers' drift); not owned.
    Random* random = nullptr;
};
