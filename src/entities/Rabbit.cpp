#include "entities/Rabbit.h"

#include "scene/ObjectTags.h"
#include "scene/Random.h"
#include "physics/RayQueries.h"
#include "render/TexturedMesh.h"
#include "render/VaoLoader.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float kForgetTime = 2.0f;
constexpr float kSlideSpeed = 5.0f;
constexpr float kSlideArrival = 0.01f;
constexpr float kTerminalFallSpeed = -24.0f;
constexpr float kChaseSpeed = 4.0f;
constexpr float kWanderSpeed = 3.0f;
constexpr float kFarDistance = 4.0f;
constexpr float kNearDistance = 3.0f;
constexpr float kWanderTurn = 50.0f;
constexpr float kShotImpulse = 4.0f;
constexpr float kShotLifetime = 3.0f;
constexpr float kFacingSnap = 0.0003f;
constexpr float kSameDirection = 0.0001f;
const glm::vec3 kShotStart(0.0f, 1.0f, 0.0f);
const glm::vec3 kEyeHeight(0.0f, 1.5f, 0.0f);
const glm::vec3 kPlayerChest(0.0f, 1.0f, 0.0f);
constexpr float kPlayerBodyReach = 1.0f;

// The model lies on its back facing +z; this stands it up facing -z.
const glm::vec3 kMeshUpright(-1.5707964f, 3.1415927f, 0.0f);

}  // namespace

Rabbit::Rabbit(const std::vector<std::shared_ptr<TexturedMesh>>& templates, const EnemyHooks* hooks) : hooks(hooks) {
    for (const auto& mesh : templates) {
        if (mesh) addMesh(copyMesh(mesh));
    }
    name = tags::kRabbit;
    for (const auto& mesh : meshes) {
        mesh->setScale(glm::vec3(0.5f));
        mesh->setRotation(kMeshUpright);
    }
    bodyOffset = glm::vec3(0.0f, 0.5f, 0.0f);
    bodyDriven = false;
    probeLength = 0.5f;
}

void Rabbit::update(float dt, const glm::vec3& playerPosition, btDynamicsWorld* world) {
    if (!visible) return;
    if (knockedBack) {
        slide(dt, world, true);
    } else if (isChasing(playerPosition, world, dt)) {
        facePlayer(playerPosition);
        shootAt(playerPosition, dt);
        const float distance = glm::length(playerPosition - position);
        if (distance > kFarDistance) {
            walk(grounded ? kChaseSpeed : 0.0f, world, dt);
        } else if (distance < kNearDistance) {
            walk(grounded ? -kChaseSpeed : 0.0f, world, dt);
        } else {
            // Close enough: stand, but keep falling and landing.
            if (verticalVelocity > kTerminalFallSpeed) verticalVelocity += gravity * dt;
            move(0.0f, 0.0f, verticalVelocity, false, world, dt);
        }
    } else {
        wanderTurn(dt, kWanderTurn);
        walk(grounded ? kWanderSpeed : 0.0f, world, dt);
    }
    syncFromBody();
}

bool Rabbit::isChasing(const glm::vec3& playerPosition, btDynamicsWorld* world, float dt) {
    timeSinceSeen += dt;
    const bool seen = canSeePlayer(playerPosition, world);
    return seen || timeSinceSeen < kForgetTime;
}

bool Rabbit::canSeePlayer(const glm::vec3& playerPosition, btDynamicsWorld* world) {
    const glm::vec3 eye = position + kEyeHeight;
    const glm::vec3 toTarget = playerPosition + kPlayerChest - eye;
    const float distance = glm::length(toTarget);
    if (!world || distance < 1e-6f) return false;
    // The player's body lies within a unit of its chest: farther than the ray's reach and that, the ray
    // cannot meet it, and most rabbits are that far away most of the time.
    if (distance > sightRange + kPlayerBodyReach) return false;
    // Nothing past the player's body can come before it on the ray: the ray ends there.
    const glm::vec3 end = eye + glm::normalize(toTarget) * std::min(sightRange, distance + kPlayerBodyReach);
    const physics::RayHit hit = physics::closestHit(world, physics::toBullet(eye), physics::toBullet(end), rigidBody);
    if (!hit.owner || hit.owner->name != tags::kPlayer) return false;
    timeSinceSeen = 0.0f;
    return true;
}

void Rabbit::walk(float speed, btDynamicsWorld* world, float dt) {
    const float forward = grounded ? -speed * dt : 0.0f;
    if (verticalVelocity > kTerminalFallSpeed) verticalVelocity += gravity * dt;
    move(forward, 0.0f, verticalVelocity, false, world, dt);
}

void Rabbit::slide(float dt, btDynamicsWorld* world, bool stopAtObstacles) {
    const glm::vec3 toTarget = knockbackTarget - position;
    const float distance = glm::length(toTarget);
    bool ended = distance < kSlideArrival;
    if (!ended) {
        // A full 5 * dt step from closer than that would overshoot and then swing back and forth
        // around the target for ever; stopping on it lets the next frame end the slide.
        const float step = std::min(kSlideSpeed * dt, distance);
        const glm::vec3 candidate = position + toTarget * (step / distance);
        if (stopAtObstacles && isPathBlocked(position, candidate, world)) {
            ended = true;
        } else {
            setPosition(candidate);
        }
    }
    if (ended) {
        knockedBack = false;
        grounded = isGroundBelow(position, world, groundPoint);
    }
}

void Rabbit::facePlayer(const glm::vec3& playerPosition) {
    glm::vec2 toPlayer(playerPosition.x - position.x, playerPosition.z - position.z);
    if (glm::length(toPlayer) < 1e-6f) return;  // no horizontal direction to face
    float yaw = signedAngle(glm::normalize(toPlayer), glm::vec2(0.0f, -1.0f));
    if (std::abs(yaw) < kFacingSnap) yaw = 0.0f;
    setRotation(glm::vec3(rotation.x, yaw, rotation.z));
}

void Rabbit::shootAt(const glm::vec3& playerPosition, float dt) {
    shotCountdown -= dt;
    if (shotCountdown > 0.0f) return;
    const glm::vec3 toPlayer = playerPosition - position;
    if (hooks && hooks->fire && glm::length(toPlayer) > 1e-6f) {
        hooks->fire(glm::normalize(toPlayer) * kShotImpulse, position + kShotStart, kShotLifetime, tags::kProjectile);
    }
    shotCountdown = (static_cast<float>(draws().draw() % 5) + 0.5f) / fireRate;
}

void Rabbit::wanderTurn(float dt, double turnScale) {
    const double yaw = rotation.y + (draws().draw() / 32767.0 - 0.5) * dt * turnScale;
    setRotation(glm::vec3(rotation.x, static_cast<float>(yaw), rotation.z));
}

Random& Rabbit::draws() { return hooks && hooks->random ? *hooks->random : ownDraws; }

float Rabbit::signedAngle(const glm::vec2& a, const glm::vec2& b) {
    const float theta = std::acos(std::clamp(glm::dot(a, b), -1.0f, 1.0f));
    const float x = a.x * std::cos(theta) - a.y * std::sin(theta);
    const float y = a.x * std::sin(theta) + a.y * std::cos(theta);
    const bool counterClockwise = std::abs(b.x - x) < kSameDirection && std::abs(b.y - y) < kSameDirection;
    return counterClockwise ? theta : -theta;
}
