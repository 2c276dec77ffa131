#pragma once

#include "physics/BulletMath.h"

#include <functional>

class SceneObject;
class btCollisionObject;
class btDynamicsWorld;

// Closest-hit ray tests against a physics world, reporting the scene object that was hit.
namespace physics {

// Whether a ray may hit a body with this owner (null for bodies without one).
using OwnerFilter = std::function<bool(const SceneObject* owner)>;

struct RayHit {
    bool hit = false;
    btVector3 point{0, 0, 0};            // the hit point, in the library's precision
    const SceneObject* owner = nullptr;  // null on a miss or for a body without an owner
    btVector3 normal{0, 0, 0};           // the surface's normal at the hit point, facing the ray

    glm::vec3 position() const { return toGlm(point); }
};

// The closest body on the way from `from` to `to`, leaving out `ignored` (the caster's own body) and
// every body whose owner `accept` refuses. No world is a miss.
RayHit closestHit(btDynamicsWorld* world, const btVector3& from, const btVector3& to,
                  const btCollisionObject* ignored = nullptr, const OwnerFilter& accept = {});

// closestHit straight down from `from` to `length` below it.
RayHit dropDown(btDynamicsWorld* world, const glm::vec3& from, btScalar length,
                const btCollisionObject* ignored = nullptr, const OwnerFilter& accept = {});

// How far (0 to 1) a sphere of `radius` gets on the straight way from `from` to `to` before it touches
// a body whose owner `accept` allows (every body when empty): 1 when the way is clear. No world, or no
// way at all, is clear.
double sweepSphere(btDynamicsWorld* world, const btVector3& from, const btVector3& to, btScalar radius,
                   const OwnerFilter& accept = {});

}  // namespace physics
