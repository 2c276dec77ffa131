#include "entities/EnemyManager.h"

#include "scene/ObjectTags.h"
#include "scene/Random.h"
#include "render/Material.h"
#include "render/TexturedMesh.h"
#include "support/PhysicsWorld.h"

#include <gtest/gtest.h>

namespace {

const glm::vec3 kCentre(400, 0, 400);

std::vector<std::shared_ptr<TexturedMesh>> plainModel(int meshCount) {
    std::vector<std::shared_ptr<TexturedMesh>> meshes;
    for (int i = 0; i < meshCount; ++i) meshes.push_back(std::make_shared<TexturedMesh>());
    return meshes;
}

// A manager over made-up models and materials (textures 1 eye, 2 body, 3 gem).
class EnemyManagerTest : public ::testing::Test {
protected:
    EnemyManagerTest() {
        manager.hooks.addRenderable = [this](int key, const std::shared_ptr<TexturedMesh>&) { ++drawnWith[key]; };
    }
    ~EnemyManagerTest() override { manager.clear(world.get()); }

    testsupport::PhysicsWorld world;
    EnemyManager manager{plainModel(2), plainModel(3), std::make_shared<Material>(1), std::make_shared<Material>(2),
                         std::make_shared<Material>(3)};
    std::map<int, int> drawnWith;
    Random random;
};

// A world seeds its draws once; each group draws on from there, so no two groups stack.
TEST_F(EnemyManagerTest, GroupsDrawOnWithoutReseedingAroundTheCentreOnDryOpenGround) {
    Random untouched(99);
    random.reseed(99);
    manager.spawn(0, 0, kCentre, world.get(), EnemyManager::BlockedQuery(), random);
    EXPECT_EQ(random.draw(), untouched.draw());
    world.addBox(tags::kWater, glm::vec3(390, 4, 400), glm::vec3(10, 1, 30));    // x from 380 to 400
    world.addBox(tags::kTerrain, glm::vec3(410, 4, 400), glm::vec3(10, 1, 30));  // x from 400 to 420, top 5
    manager.spawn(
        20, 5, kCentre, world.get(), [](float, float, float z) { return z < 400.0f; }, random);
    ASSERT_EQ(manager.rabbits.size(), 20u);
    ASSERT_EQ(manager.flyingRabbits.size(), 5u);
    EXPECT_EQ(world->getNumCollisionObjects(), 2 + 25);
    for (const auto& rabbit : manager.rabbits) {
        EXPECT_TRUE(rabbit->position.x >= 400 && rabbit->position.z >= 400 && rabbit->position.z <= 420);
        EXPECT_FLOAT_EQ(rabbit->position.y, 5.0f) << "on the ground";
        EXPECT_EQ(rabbit->meshes[0]->material, manager.eyeMaterial);
        EXPECT_EQ(rabbit->meshes[1]->material, manager.bodyMaterial);
    }
    for (const auto& flyer : manager.flyingRabbits) {
        EXPECT_TRUE(flyer->position.z >= 400 && flyer->position.y >= 10 && flyer->position.y <= 99);
        EXPECT_EQ(flyer->meshes[0]->material, manager.itemMaterial);
        EXPECT_EQ(flyer->meshes[1]->material, manager.bodyMaterial);
        EXPECT_EQ(flyer->meshes[2]->material, manager.eyeMaterial);
    }
    EXPECT_EQ(drawnWith, (std::map<int, int>{{1, 25}, {2, 25}, {3, 5}})) << "every mesh in its texture's batch";
    manager.spawn(1, 0, kCentre, world.get(), EnemyManager::BlockedQuery(), random);
    manager.spawn(1, 0, kCentre, world.get(), EnemyManager::BlockedQuery(), random);
    EXPECT_NE(manager.rabbits[20]->position, manager.rabbits[21]->position);
}

TEST_F(EnemyManagerTest, HopelessGroupsGiveUpSayingSoAndOnlyTheLivingAreUpdatedAndClearedOut) {
    world.addGround(tags::kWater, 0.0f);
    testing::internal::CaptureStderr();
    manager.spawn(20, 3, kCentre, world.get(), EnemyManager::BlockedQuery(), random);
    manager.spawn(
        20, 3, kCentre, world.get(), [](float, float, float) { return true; }, random);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("400 attempts: 0 of 20 rabbits"), std::string::npos);
    EXPECT_TRUE(manager.rabbits.empty()) << "a lake takes no rabbits";
    ASSERT_EQ(manager.flyingRabbits.size(), 3u) << "but flying ones";

    manager.spawn(2, 0, glm::vec3(1000, 0, 1000), world.get(), EnemyManager::BlockedQuery(), random);  // over nothing
    manager.rabbits[1]->setVisible(false);
    world->removeRigidBody(manager.rabbits[1]->rigidBody);  // killed by the contact rules
    const glm::vec3 dead = manager.rabbits[1]->position, flyer = manager.flyingRabbits[0]->position;
    manager.update(0.1f, glm::vec3(100, 0, 100), world.get());
    EXPECT_NE(manager.flyingRabbits[0]->position, flyer);
    EXPECT_EQ(manager.rabbits[1]->position, dead);
    manager.clear(world.get());
    EXPECT_EQ(world->getNumCollisionObjects(), 1);
}

}  // namespace
