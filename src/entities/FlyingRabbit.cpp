#include "entities/FlyingRabbit.h"

#include "scene/Random.h"
#include "render/TexturedMesh.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kChaseSpeed = 4.0f;
constexpr float kWanderSpeed = 3.0f;
constexpr float kFarDistance = 4.0f;
constexpr float kNearDistance = 3.0f;
constexpr double kWanderTurn = 1.0;
constexpr float kMaxClimb = 10.0f;
constexpr float kCeiling = 10.0f;
constexpr float kSinkSpeed = -3.0f;
constexpr float kDiamondScale = 1.0f / 15.0f;
const glm::vec3 kDiamondOffset(0.0f, 1.5f, 0.0f);
constexpr double kPi = 3.14159265358979323846;

}  // namespace

FlyingRabbit::FlyingRabbit(const std::vector<std::shared_ptr<TexturedMesh>>& templates, const EnemyHooks* hooks)
    : Rabbit(templates, hooks) {
    probeLength = 4.0f;
    if (meshes.empty()) return;
    TexturedMesh& diamond = *meshes[0];
    diamond.setRotation(glm::vec3(0.0f));
    diamond.setPosition(position + kDiamondOffset);
    diamond.setScale(glm::vec3(kDiamondScale));
}

void FlyingRabbit::update(float dt, const glm::vec3& playerPosition, btDynamicsWorld* world) {
    if (!visible) return;
    if (knockedBack) {
        // Nothing stands in a flying rabbit's way; it drifts on once the slide is over.
        slide(dt, world, false);
    } else {
        float speed = kWanderSpeed;
        if (isChasing(playerPosition, world, dt)) {
            facePlayer(playerPosition);
            shootAt(playerPosition, dt);
            const float distance = glm::length(playerPosition - position);
            speed = distance > kFarDistance ? kChaseSpeed : distance < kNearDistance ? -kChaseSpeed : 0.0f;
        } else {
            wanderTurn(dt, kWanderTurn);
        }
        fly(speed, world, dt);
    }
    syncFromBody();
}

void FlyingRabbit::fly(float speed, btDynamicsWorld* world, float dt) {
    verticalVelocity += static_cast<float>(draws().draw() % 201 - 100) / 100.0f;
    verticalVelocity = std::clamp(verticalVelocity, -kMaxClimb, kMaxClimb);
    if (position.y - groundPoint.y > kCeiling && verticalVelocity > kSinkSpeed) verticalVelocity = kSinkSpeed;
    spinDiamond(dt);
    move(-speed * dt, 0.0f, verticalVelocity, true, world, dt);
}

void FlyingRabbit::spinDiamond(float dt) {
    if (meshes.empty()) return;
    // Whole degrees per frame, faster while climbing; the angle is written straight into the mesh
    // so its children and position stay untouched.
    float& yaw = meshes[0]->rotation.y;
    const long current = std::lround(yaw * 180.0 / kPi);
    const long turned = std::lround((verticalVelocity + 10.0f) * dt * 2000.0f) + current;
    yaw = static_cast<float>(static_cast<double>(turned % 360) * kPi / 180.0);
}
