#include "GroundCheck.h"

#include "scene/ObjectTags.h"
#include "scene/SceneObject.h"
#include "physics/Bodies.h"

#include <btBulletDynamicsCommon.h>

#include <cmath>
#include <sstream>

namespace {

// The walking step keeps the feet on the surface; a little slack covers a jump's first frames.
const float kFeetAbove = 3.0f;
const float kFeetBelow = 0.5f;
const float kRayHalfLength = 2000.0f;

}  // namespace

GroundCheck checkGround(const glm::vec3& position, btDynamicsWorld* world) {
    GroundCheck check;
    check.position = position;
    if (!world) return check;
    const btVector3 from(position.x, kRayHalfLength, position.z), to(position.x, -kRayHalfLength, position.z);
    btCollisionWorld::AllHitsRayResultCallback hits(from, to);
    world->rayTest(from, to, hits);
    for (int i = 0; i < hits.m_collisionObjects.size(); ++i) {
        const SceneObject* owner = physics::ownerOf(hits.m_collisionObjects[i]);
        if (!owner || owner->name != tags::kTerrain) continue;
        const float y = static_cast<float>(hits.m_hitPointWorld[i].y());
        if (!check.groundFound || y > check.groundY) check.groundY = y;
        check.groundFound = true;
        const float below = position.y - y;
        if (below >= -kFeetBelow && below <= kFeetAbove) check.onGround = true;
    }
    return check;
}

std::string GroundCheck::describe() const {
    std::ostringstream s;
    s.setf(std::ios::fixed);
    s.precision(1);
    s << (onGround ? "on the ground" : "NOT on the ground") << " at (" << position.x << ", " << position.y << ", "
      << position.z << ")";
    if (groundFound && !onGround) s << ", highest ground there at y " << groundY;
    if (!groundFound) s << ", no ground there";
    return s.str();
}
