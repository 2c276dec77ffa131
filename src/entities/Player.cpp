#include "entities/Player.h"

#include "scene/ObjectTags.h"
#include "physics/RayQueries.h"
#include "render/Material.h"
#include "render/TextureLoader.h"
#include "render/TexturedMesh.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>

namespace {

constexpr float kWalkSpeed = 10.0f;
constexpr float kJumpSpeed = 3.0f;
constexpr float kTerminalFallSpeed = -24.0f;
constexpr float kDashRate = 20.0f;
constexpr float kDashArrival = 0.05f;
constexpr float kDashMinDistance = 2.0f;
constexpr float kDashLift = 2.0f;
constexpr float kDashRayOvershoot = 0.5f;

struct PartLook {
    const char* texture;
    int size;
    float shineDamper;
    float reflectivity;
};

// The model's parts in file order: pillow, tail, eyes, body. Only the eyes shine.
const PartLook kParts[] = {
    {"pillow_512.png", 512, 1.0f, 0.0f},
    {"cat_tail_256.png", 256, 1.0f, 0.0f},
    {"cat_eyes_256.png", 256, 10.0f, 1.0f},
    {"cat_body_512.png", 512, 1.0f, 0.0f},
};
constexpr size_t kPartCount = sizeof(kParts) / sizeof(kParts[0]);

bool pressed(const std::vector<int>& keys, PlayerKey key) {
    return static_cast<size_t>(key) < keys.size() && keys[key];
}

}  // namespace

Player::Player(const std::string& modelName) : GameEntity(modelName) {
    name = tags::kPlayer;
    bodyOffset = glm::vec3(0, 1, 0);
    slides = true;
    if (meshes.size() < kPartCount) {
        std::cerr << "Player model " << modelName << " has " << meshes.size() << " meshes; it needs at least "
                  << kPartCount << " (pillow, tail, eyes, body)" << std::endl;
        std::exit(1);
    }
    for (size_t i = 0; i < kPartCount; ++i) {
        const PartLook& part = kParts[i];
        meshes[i]->material = std::make_shared<Material>(loadTexture(part.texture, part.size, part.size),
                                                         part.shineDamper, part.reflectivity, false);
    }
    // The model is modelled lying down and facing away; this stands it up, facing -z, half size,
    // with its feet at the player's origin (the player is still at the origin here).
    for (const auto& mesh : meshes) {
        if (!mesh->material) mesh->material = std::make_shared<Material>();
        mesh->setScale(glm::vec3(0.5f));
        mesh->setPosition(glm::vec3(0, 1, 0));
        mesh->setRotation(glm::vec3(-1.5707964f, 3.1415927f, 0));
    }
}

void Player::update(float dt, const std::vector<int>& keys, btDynamicsWorld* world) {
    if (movingToTarget) {
        dashStep(dt, world);
    } else {
        keyboardStep(dt, keys, world);
    }
    syncFromBody();
}

void Player::dashStep(float dt, btDynamicsWorld* world) {
    const glm::vec3 toTarget = moveTarget - position;
    const float distance = glm::length(toTarget);
    if (distance < kDashArrival) {
        endDash(world);
        return;
    }
    // Fast when far, slowing as it closes in. Never past the target: with long frames the step
    // would overshoot back and forth around it and the dash (which locks the keys) would not end.
    const float fraction = std::min(dt * kDashRate / std::sqrt(distance), 1.0f);
    const glm::vec3 candidate = position + toTarget * fraction;
    if (isPathBlocked(position, candidate, world)) {
        endDash(world);
        return;
    }
    setPosition(candidate);
}

void Player::endDash(btDynamicsWorld* world) {
    movingToTarget = false;
    grounded = isGroundBelow(position, world, groundPoint);
}

void Player::keyboardStep(float dt, const std::vector<int>& keys, btDynamicsWorld* world) {
    const bool shift = pressed(keys, kKeyLeftShift);
    float forward = pressed(keys, kKeyW) ? -1.0f : pressed(keys, kKeyS) ? 1.0f : 0.0f;
    float strafe = 0.0f;
    if (shift) strafe = pressed(keys, kKeyA) ? -1.0f : pressed(keys, kKeyD) ? 1.0f : 0.0f;
    if (forward != 0.0f || strafe != 0.0f) {
        // Diagonal walking is no faster than straight walking.
        const float scale = kWalkSpeed * dt / std::sqrt(forward * forward + strafe * strafe);
        forward *= scale;
        strafe *= scale;
    }

    float yawRate = 0.0f;
    if (!shift) yawRate = pressed(keys, kKeyA) ? turnSpeed : pressed(keys, kKeyD) ? -turnSpeed : 0.0f;
    setRotation(glm::vec3(rotation.x, rotation.y + yawRate * dt, rotation.z));

    if (pressed(keys, kKeySpace) && grounded) {
        // Held space keeps one jump going.
        if (events && verticalVelocity < kJumpSpeed) events->push_back({WorldEvent::Kind::Jump, position, position});
        verticalVelocity = kJumpSpeed;
    } else if (verticalVelocity > kTerminalFallSpeed) {
        verticalVelocity += gravity * dt;
    }
    move(forward, strafe, verticalVelocity, true, world, dt);
}

void Player::moveTo(const glm::vec3& aimPoint, btDynamicsWorld* world) {
    // From above the cat, so the ray passes through its own body, which it must not stop at. The aim
    // point lies on a surface, and a ray that ends exactly there may stop a hair short of it: the ray
    // goes on a little past it.
    const glm::vec3 from = position + glm::vec3(0, 2.5f, 0);
    const glm::vec3 along = aimPoint - from;
    const float length = glm::length(along);
    const glm::vec3 to = length > 0.0f ? aimPoint + along / length * kDashRayOvershoot : aimPoint;
    const physics::RayHit hit = physics::closestHit(world, physics::toBullet(from), physics::toBullet(to), rigidBody);
    if (!hit.owner) return;
    std::cout << hit.owner->name << std::endl;
    if (hit.owner->name != tags::kTerrain) return;
    const glm::vec3 target = hit.position() + glm::vec3(0, kDashLift, 0);
    if (glm::length(position - target) > kDashMinDistance) {
        moveTarget = target;
        movingToTarget = true;
        if (events) events->push_back({WorldEvent::Kind::Dash, position, target});
    }
}

void Player::stop() {
    movingToTarget = false;
    moveTarget = glm::vec3(0.0f);
    verticalVelocity = 0.0f;
    grounded = false;
    groundPoint = glm::vec3(0.0f);
}

glm::vec3 Player::getProjectileSpawnPoint() const {
    return position + glm::vec3(getRotationMatrix() * glm::vec4(0, 3, 0, 0));
}
