#include "entities/EnemyManager.h"

#include "objects/GroundDrop.h"
#include "scene/ObjectTags.h"
#include "scene/Random.h"
#include "physics/Bodies.h"
#include "render/ColladaLoader.h"
#include "render/Material.h"
#include "render/TextureLoader.h"
#include "render/TexturedMesh.h"
#include "terrain/AdvancedTerrain.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <iostream>
#include <string>

namespace {

constexpr size_t kRabbitParts = 2;        // eyes, body
constexpr size_t kFlyingRabbitParts = 3;  // diamond, body, eyes
const glm::vec3 kStandOffset(0.0f, 1.0f, 0.0f);

void setMaterial(const std::vector<std::shared_ptr<TexturedMesh>>& meshes, size_t index,
                 const std::shared_ptr<Material>& material) {
    if (index < meshes.size()) meshes[index]->material = material;
}

void reportShortfall(const char* kind, size_t made, int requested, int attempts) {
    std::cerr << "Enemy group gave up after " << attempts << " attempts: " << made << " of " << requested << ' ' << kind
              << " placed" << std::endl;
}

}  // namespace

EnemyManager::EnemyManager() {
    eyeMaterial = std::make_shared<Material>(loadTexture("rabbit_eye_256.png", 256, 256), 10.0f, 1.0f);
    bodyMaterial = std::make_shared<Material>(loadTexture("rabbit_body_512.png", 512, 512), 10.0f, 0.01f);
    // Crimson, unlike the blue diamonds to collect: what a flying rabbit carries is no pickup.
    itemMaterial = std::make_shared<Material>(loadTexture("carried_gem_64.png", 64, 64), 10.0f, 0.01f);
    ColladaLoader::loadModel("rabbit.dae", rabbitMeshes);
    ColladaLoader::loadModel("flying-rabbit.dae", flyingRabbitMeshes);
    // Parts beyond the ones given our materials keep the model's own (or a plain one).
    for (const auto* model : {&rabbitMeshes, &flyingRabbitMeshes}) {
        for (const auto& mesh : *model) {
            if (!mesh->material) mesh->material = std::make_shared<Material>();
        }
    }
    checkModels();
}

EnemyManager::EnemyManager(std::vector<std::shared_ptr<TexturedMesh>> rabbitModel,
                           std::vector<std::shared_ptr<TexturedMesh>> flyingRabbitModel, std::shared_ptr<Material> eye,
                           std::shared_ptr<Material> body, std::shared_ptr<Material> item)
    : rabbitMeshes(std::move(rabbitModel)),
      flyingRabbitMeshes(std::move(flyingRabbitModel)),
      eyeMaterial(std::move(eye)),
      bodyMaterial(std::move(body)),
      itemMaterial(std::move(item)) {
    checkModels();
}

void EnemyManager::checkModels() const {
    // Enemies still spawn from a short model; the missing parts are simply not drawn.
    if (rabbitMeshes.size() < kRabbitParts) {
        std::cerr << "rabbit.dae has " << rabbitMeshes.size() << " meshes; expected " << kRabbitParts << " (eyes, body)"
                  << std::endl;
    }
    if (flyingRabbitMeshes.size() < kFlyingRabbitParts) {
        std::cerr << "flying-rabbit.dae has " << flyingRabbitMeshes.size() << " meshes; expected " << kFlyingRabbitParts
                  << " (diamond, body, eyes)" << std::endl;
    }
}

void EnemyManager::spawn(int rabbitCount, int flyingRabbitCount, const glm::vec3& centre, btDynamicsWorld* world,
                         const BlockedQuery& isBlocked, Random& random) {
    spawnRabbits(rabbitCount, centre, world, isBlocked, random);
    spawnFlyingRabbits(flyingRabbitCount, centre, world, isBlocked, random);
}

void EnemyManager::spawn(int rabbitCount, int flyingRabbitCount, const glm::vec3& centre, btDynamicsWorld* world,
                         const std::shared_ptr<AdvancedTerrain>& terrain, Random& random) {
    BlockedQuery isBlocked;
    if (terrain) isBlocked = [&terrain](float x, float y, float z) { return terrain->isBlocked(x, y, z); };
    spawn(rabbitCount, flyingRabbitCount, centre, world, isBlocked, random);
}

glm::vec3 EnemyManager::drawSpot(const glm::vec3& centre, Random& random) {
    // The draws feed the same formulas in x, z, y order; 32767 / 819.175 spans 40 units.
    const float x = static_cast<float>(random.draw() / 819.175 - 20.0 + centre.x);
    const float z = static_cast<float>(random.draw() / 819.175 - 20.0 + centre.z);
    const float y = static_cast<float>(random.draw() % 90) + 10.0f + centre.y;
    return glm::vec3(x, y, z);
}

void EnemyManager::spawnRabbits(int count, const glm::vec3& centre, btDynamicsWorld* world,
                                const BlockedQuery& isBlocked, Random& random) {
    // The ground's name carries over from one attempt to the next: a drop that finds nothing after
    // one that found water is still refused.
    std::string groundName = tags::kEmpty;
    const int maxAttempts = std::max(count, 0) * kAttemptsPerEnemy;
    const size_t wanted = rabbits.size() + static_cast<size_t>(std::max(count, 0));
    int attempts = 0;
    while (rabbits.size() < wanted && attempts < maxAttempts) {
        ++attempts;
        const glm::vec3 spot = drawSpot(centre, random);
        if (isBlocked && isBlocked(spot.x, spot.y, spot.z)) continue;
        const glm::vec3 standing = dropToGround(spot, world, groundName) + kStandOffset;
        if (groundName == tags::kWater) continue;

        auto rabbit = std::make_shared<Rabbit>(rabbitMeshes, &hooks);
        setMaterial(rabbit->meshes, 0, eyeMaterial);
        setMaterial(rabbit->meshes, 1, bodyMaterial);
        rabbit->setPosition(standing);
        rabbit->sightRange *= sightScale;
        rabbit->fireRate = fireRate;
        rabbits.push_back(rabbit);
        addToWorld(*rabbit, world);
        rabbit->placeOnGround(world);
    }
    if (rabbits.size() < wanted) reportShortfall("rabbits", count - (wanted - rabbits.size()), count, attempts);
}

void EnemyManager::spawnFlyingRabbits(int count, const glm::vec3& centre, btDynamicsWorld* world,
                                      const BlockedQuery& isBlocked, Random& random) {
    std::string groundName = tags::kEmpty;
    const int maxAttempts = std::max(count, 0) * kAttemptsPerEnemy;
    const size_t wanted = flyingRabbits.size() + static_cast<size_t>(std::max(count, 0));
    int attempts = 0;
    while (flyingRabbits.size() < wanted && attempts < maxAttempts) {
        ++attempts;
        const glm::vec3 spot = drawSpot(centre, random);
        if (isBlocked && isBlocked(spot.x, spot.y, spot.z)) continue;
        const float height = std::max(dropToGround(spot, world, groundName).y, spot.y);

        auto flyer = std::make_shared<FlyingRabbit>(flyingRabbitMeshes, &hooks);
        setMaterial(flyer->meshes, 2, eyeMaterial);
        setMaterial(flyer->meshes, 1, bodyMaterial);
        setMaterial(flyer->meshes, 0, itemMaterial);
        flyer->setPosition(glm::vec3(spot.x, height, spot.z));
        flyer->sightRange *= sightScale;
        flyer->fireRate = fireRate;
        flyingRabbits.push_back(flyer);
        addToWorld(*flyer, world);
    }
    if (flyingRabbits.size() < wanted) {
        reportShortfall("flying rabbits", count - (wanted - flyingRabbits.size()), count, attempts);
    }
}

void EnemyManager::addToWorld(Rabbit& enemy, btDynamicsWorld* world) {
    if (world && enemy.rigidBody) world->addRigidBody(enemy.rigidBody);
    if (!hooks.addRenderable) return;
    for (const auto& mesh : enemy.meshes) {
        hooks.addRenderable(mesh->material ? static_cast<int>(mesh->material->textureId) : 0, mesh);
    }
}

void EnemyManager::update(float dt, const glm::vec3& playerPosition, btDynamicsWorld* world) {
    for (const auto& rabbit : rabbits) rabbit->update(dt, playerPosition, world);
    for (const auto& flyer : flyingRabbits) flyer->update(dt, playerPosition, world);
}

void EnemyManager::clear(btDynamicsWorld* world) {
    if (world) {
        // Killed enemies already left the world and are skipped.
        auto takeOut = [world](const Rabbit& enemy) { physics::removeFromWorld(enemy.rigidBody, world); };
        for (const auto& rabbit : rabbits) takeOut(*rabbit);
        for (const auto& flyer : flyingRabbits) takeOut(*flyer);
    }
    rabbits.clear();
    flyingRabbits.clear();
}
