#include "objects/GameEntity.h"

#include "scene/ObjectTags.h"
#include "physics/Bodies.h"
#include "physics/RayQueries.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float kBodyRadius = 0.5f;
constexpr float kGroundProbeLength = 2.0f;
constexpr float kObstacleRayLength = 5.0f;
constexpr float kObstacleDistance = 0.9f;
constexpr float kMinStep = 0.001f;
// Longest piece of a walking step: less than the ground probe's half-unit head start, so a slope of up
// to 45 degrees is always caught from above.
constexpr float kMaxStepPiece = 0.4f;
constexpr int kMaxStepPieces = 64;
// How far below an airborne step a walker that must stay dry looks for water it would fall onto.
constexpr float kWaterLookDown = 100.0f;

bool isNamed(const SceneObject* object, const char* name) { return object && object->name == name; }

}  // namespace

GameEntity::GameEntity() { createBody(); }

GameEntity::GameEntity(const std::string& modelName) : GameObject(modelName) { createBody(); }

void GameEntity::renewBody() {
    physics::releaseBody(rigidBody, motionState, collisionShape);
    rigidBody = nullptr;
    motionState = nullptr;
    collisionShape = nullptr;
    createBody();
}

void GameEntity::createBody() {
    collisionShape = new btSphereShape(kBodyRadius);
    rigidBody = physics::createBody(this, collisionShape, 1.0, btTransform::getIdentity(), motionState,
                                    btCollisionObject::CF_KINEMATIC_OBJECT, true);
}

bool GameEntity::probeDown(const glm::vec3& from, float length, btDynamicsWorld* world, glm::vec3& hit,
                           const SceneObject** hitObject) const {
    if (hitObject) *hitObject = nullptr;
    const physics::RayHit result = physics::dropDown(world, from + glm::vec3(0, 0.5f, 0), length, rigidBody);
    if (!result.hit) return false;
    hit = result.position();
    if (hitObject) *hitObject = result.owner;
    return true;
}

bool GameEntity::isGroundBelow(const glm::vec3& from, btDynamicsWorld* world, glm::vec3& hit) const {
    return probeDown(from, kGroundProbeLength, world, hit, nullptr);
}

bool GameEntity::isPathBlocked(const glm::vec3& from, glm::vec3 to, btDynamicsWorld* world) const {
    return blockedAt(from, to, world, nullptr);
}

bool GameEntity::blockedAt(const glm::vec3& from, glm::vec3 to, btDynamicsWorld* world, glm::vec3* wall) const {
    to.y = from.y;
    const glm::vec3 step = to - from;
    const float length = glm::length(step);
    if (length < kMinStep || !world) return false;
    const btVector3 start = physics::toBullet(from + glm::vec3(0, 1, 0));
    const btVector3 end = start + physics::toBullet(step / length * kObstacleRayLength);
    const physics::RayHit result = physics::closestHit(world, start, end);
    if (!result.hit) return false;
    if (result.point.distance(start) >= kObstacleDistance) return false;
    if (isNamed(result.owner, tags::kItem) || isNamed(result.owner, tags::kFountain)) return false;
    if (wall) *wall = physics::toGlm(result.normal);
    return true;
}

glm::vec3 GameEntity::slideAlong(const glm::vec3& across, const glm::vec3& wall, btDynamicsWorld* world) const {
    glm::vec3 out(wall.x, 0.0f, wall.z);
    const float outLength = glm::length(out);
    if (outLength < 1e-3f) return glm::vec3(0.0f);
    out /= outLength;
    const float into = glm::dot(across, out);
    if (into >= 0.0f) return glm::vec3(0.0f);
    const glm::vec3 along = across - into * out;
    if (glm::length(along) < kMinStep || blockedAt(position, position + along, world, nullptr)) return glm::vec3(0.0f);
    return along;
}

bool GameEntity::ceilingAbove(const glm::vec3& from, const glm::vec3& to, btDynamicsWorld* world) const {
    const physics::RayHit above = physics::closestHit(
        world, physics::toBullet(from + glm::vec3(0, 1, 0)), physics::toBullet(to + glm::vec3(0, kHeadHeight, 0)),
        rigidBody, [](const SceneObject* owner) { return isNamed(owner, tags::kTerrain); });
    return above.hit;
}

void GameEntity::move(float forward, float sideways, float& vertical, bool waterAllowed, btDynamicsWorld* world,
                      float dt) {
    // A slow frame can make one step several units long; the ground probe starts only half a unit
    // above the planned position, so a long step onto rising ground would start it inside the hill and
    // the walker would drop through. Long steps are therefore walked in short pieces.
    const float length = std::sqrt(forward * forward + sideways * sideways);
    const int pieces = std::clamp(static_cast<int>(std::ceil(length / kMaxStepPiece)), 1, kMaxStepPieces);
    const float share = 1.0f / static_cast<float>(pieces);
    const glm::vec3 start = position;
    const float startVertical = vertical;
    for (int i = 0; i < pieces; ++i) {
        if (!step(forward * share, sideways * share, vertical, waterAllowed, world, dt * share)) {
            // A piece would stand on water: the whole step is refused, as a single step would be.
            setPosition(start);
            vertical = startVertical;
            return;
        }
    }
}

bool GameEntity::step(float forward, float sideways, float& vertical, bool waterAllowed, btDynamicsWorld* world,
                      float dt) {
    const glm::mat4 r = getRotationMatrix();
    const glm::vec3 across(r * glm::vec4(sideways, 0.0f, forward, 0.0f));
    const glm::vec3 rise(r * glm::vec4(0.0f, vertical * dt, 0.0f, 0.0f));
    glm::vec3 planned = position + across + rise;
    glm::vec3 wall(0.0f);
    if (blockedAt(position, planned, world, &wall)) {
        planned = position + (slides ? slideAlong(across, wall, world) : glm::vec3(0.0f)) + rise;
    }
    // A jump under an overhang ends at the rock instead of carrying the head into it.
    if (slides && rise.y > 0.0f && ceilingAbove(position, planned, world)) {
        planned.y = position.y;
        vertical = 0.0f;
    }
    planned.x = std::clamp(planned.x, kWorldMin, kWorldMax);
    planned.z = std::clamp(planned.z, kWorldMin, kWorldMax);

    // The probe hangs below the planned position; when the step falls, it starts at the current height
    // instead, so a long frame cannot carry the entity through the ground between two probes.
    // A walker that slides starts it higher still, so it steps up onto ledges below its obstacle probe.
    const float drop = std::max(position.y - planned.y, 0.0f) + (slides ? kStepUp - 0.5f : 0.0f);
    const SceneObject* ground = nullptr;
    glm::vec3 hit(0.0f);
    grounded = probeDown(planned + glm::vec3(0.0f, drop, 0.0f), probeLength + drop, world, hit, &ground);
    if (grounded) groundPoint = hit;

    if (!waterAllowed && grounded && isNamed(ground, tags::kWater)) return false;  // stop at the shore
    // A step off a bank whose short probe finds nothing would leave the walker falling towards the lake,
    // where every later step is refused and it would hang in the air; it stays on the bank instead.
    if (!waterAllowed && !grounded) {
        glm::vec3 below(0.0f);
        const SceneObject* under = nullptr;
        if (probeDown(planned, kWaterLookDown, world, below, &under) && isNamed(under, tags::kWater)) return false;
    }
    if (grounded && groundPoint.y > planned.y) {
        vertical = 0.0f;
        planned.y = groundPoint.y;
    }
    setPosition(planned);
    return true;
}
