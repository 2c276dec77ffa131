#include "entities/ItemManager.h"

#include "objects/GroundDrop.h"
#include "scene/ObjectTags.h"
#include "scene/Random.h"
#include "physics/Bodies.h"
#include "physics/BulletMath.h"
#include "render/ColladaLoader.h"
#include "render/GlContextState.h"
#include "render/Material.h"
#include "render/TextureLoader.h"
#include "render/TexturedMesh.h"
#include "render/VaoLoader.h"
#include "terrain/AdvancedTerrain.h"

#include <btBulletDynamicsCommon.h>

#include <iostream>

namespace {

constexpr float kSpread = 819.175f;  // 32767 / 819.175 = 40: the cluster's square is centre +- 20
constexpr float kHalfSide = 20.0f;
const glm::vec3 kItemLift(0.0f, 1.0f, 0.0f);
const glm::vec3 kFountainDropStart(0.0f, 100.0f, 0.0f);
const glm::vec3 kFountainSink(0.0f, 0.2f, 0.0f);
const glm::vec3 kFountainBodyOffset(0.5f, 1.0f, 0.5f);

}  // namespace

ItemManager::ItemManager() {
    itemTexture = loadTexture("item_64.png", 64, 64);
    ownsTexture = true;
    std::vector<std::shared_ptr<TexturedMesh>> meshes;
    ColladaLoader::loadModel("diamond.dae", meshes);
    if (meshes.empty()) {
        std::cerr << "diamond.dae has no mesh; items are drawn without one" << std::endl;
        itemMesh = std::make_shared<TexturedMesh>();
    } else {
        itemMesh = meshes.front();
    }
    auto material = std::make_shared<Material>(itemTexture, 1.0f, 0.0f, false);
    material->shineDamper = 1.0f;
    material->reflectivity = 1.0f;  // diamonds glint
    itemMesh->material = material;
}

ItemManager::ItemManager(std::shared_ptr<TexturedMesh> mesh, GLuint texture)
    : itemTexture(texture), itemMesh(std::move(mesh)) {}

ItemManager::~ItemManager() {
    if (ownsTexture && itemTexture != 0 && hasCurrentGlContext()) glDeleteTextures(1, &itemTexture);
}

void ItemManager::spawn(int count, const glm::vec3& centre, btDynamicsWorld* world,
                        const std::shared_ptr<AdvancedTerrain>& terrain, Random& random) {
    BlockedQuery isBlocked;
    if (terrain) isBlocked = [&terrain](float x, float y, float z) { return terrain->isBlocked(x, y, z); };
    spawn(count, centre, world, isBlocked, random);
}

void ItemManager::spawn(int count, const glm::vec3& centre, btDynamicsWorld* world, const BlockedQuery& isBlocked,
                        Random& random) {
    // What the last drop landed on, for the whole call: a drop that misses everything keeps the name
    // of an earlier hit, so after one splash into water every miss is rejected as well.
    std::string groundName = tags::kEmpty;
    const long long attempts = count > 0 ? static_cast<long long>(count) * kAttemptsPerItem : 0;
    int made = 0;
    for (long long attempt = 0; attempt < attempts && made < count; ++attempt) {
        const float x = static_cast<float>(random.draw()) / kSpread - kHalfSide + centre.x;
        const float z = static_cast<float>(random.draw()) / kSpread - kHalfSide + centre.z;
        const float y = static_cast<float>(random.draw() % 90 + 10);  // absolute height, centre.y unused
        if (isBlocked && isBlocked(x, y, z)) continue;
        const glm::vec3 position = dropToGround(glm::vec3(x, y, z), world, groundName) + kItemLift;
        if (groundName == tags::kWater) continue;
        items.push_back(std::make_shared<Item>(position, copyMesh(itemMesh)));
        ++made;
    }
    placeFountain(centre, world, groundName);
}

void ItemManager::placeFountain(const glm::vec3& centre, btDynamicsWorld* world, std::string& groundName) {
    const glm::vec3 position = dropToGround(centre + kFountainDropStart, world, groundName) - kFountainSink;
    if (groundName == tags::kWater || !makeFountain) return;
    SpawnedFountain made = makeFountain(position);
    if (!made.fountain) return;
    made.fountain->setPosition(position);
    if (made.body) {
        btTransform transform = made.body->getWorldTransform();
        transform.setOrigin(physics::toBullet(position + kFountainBodyOffset));
        made.body->setWorldTransform(transform);
        made.body->setInterpolationWorldTransform(transform);
    }
    fountains.push_back(made.fountain);
    fountainBodies.push_back(made.body);
}

void ItemManager::addFountainsToWorld(btDynamicsWorld* world) {
    if (!world) return;
    for (btRigidBody* body : fountainBodies) {
        if (!body || body->getBroadphaseHandle()) continue;
        world->addRigidBody(body);
        // Adding the body gave it the world's gravity; fountains stay where they were put.
        body->setGravity(btVector3(0, 0, 0));
    }
}

void ItemManager::clear(btDynamicsWorld* world) {
    // Collected items are already out of the world and are skipped.
    for (const auto& item : items) physics::removeFromWorld(item->rigidBody, world);
    for (btRigidBody* body : fountainBodies) physics::removeFromWorld(body, world);
    items.clear();
    fountains.clear();
    fountainBodies.clear();
}
