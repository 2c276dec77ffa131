#include "objects/GroundDrop.h"

#include "scene/SceneObject.h"
#include "physics/RayQueries.h"

glm::vec3 dropToGround(const glm::vec3& from, btDynamicsWorld* world, std::string& groundName) {
    const physics::RayHit hit = physics::dropDown(world, from, kGroundDropLength);
    if (!hit.hit) return from;
    if (hit.owner) groundName = hit.owner->name;
    return hit.position();
}
