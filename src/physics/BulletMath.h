#pragma once

#include <LinearMath/btTransform.h>
#include <LinearMath/btVector3.h>
#include <glm/glm.hpp>

// Crossings between the game's float vectors and the physics library's double-precision ones.
namespace physics {

inline btVector3 toBullet(const glm::vec3& v) { return btVector3(v.x, v.y, v.z); }

inline glm::vec3 toGlm(const btVector3& v) {
    return glm::vec3(static_cast<float>(v.x()), static_cast<float>(v.y()), static_cast<float>(v.z()));
}

// No rotation, origin at `origin`.
inline btTransform placedAt(const glm::vec3& origin) {
    btTransform t;
    t.setIdentity();
    t.setOrigin(toBullet(origin));
    return t;
}

}  // namespace physics
