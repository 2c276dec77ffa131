#include "game/GroundDrop.h"

#include "game/SceneObject.h"

#include <btBulletDynamicsCommon.h>

glm::vec3 dropToGround(const glm::vec3& from, btDynamicsWorld* world, std::string& groundName) {
    if (!world) return from;
    const btVector3 start(from.x, from.y, from.z);
    const btVector3 end(from.x, from.y - kGroundDropLength, from.z);
    btCollisionWorld::ClosestRayResultCallback hit(start, end);
    world->rayTest(start, end, hit);
    if (!hit.hasHit()) return from;
    if (const auto* owner = static_cast<const SceneObject*>(hit.m_collisionObject->getUserPointer())) {
        groundName = owner->name;
    }
    const btVector3& p = hit.m_hitPointWorld;
    return glm::vec3(p.x(), p.y(), p.z());
}
