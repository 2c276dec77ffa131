#include "entities/ItemManager.h"

#include "scene/ObjectTags.h"
#include "scene/Random.h"
#include "render/TexturedMesh.h"
#include "support/Near.h"
#include "support/PhysicsWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

using testsupport::near;

const glm::vec3 kCentre(400, 0, 400);
const ItemManager::BlockedQuery kOpen;  // nothing blocked

bool inWorld(const btRigidBody* body) { return body->getBroadphaseHandle() != nullptr; }

struct TestFountain : Healer {
    btSphereShape shape{0.5};
    btDefaultMotionState motionState;
    btRigidBody body{btRigidBody::btRigidBodyConstructionInfo(1.0, &motionState, &shape)};
};

// A manager in a real world; its fountains record where they were asked to stand.
class ItemManagerTest : public ::testing::Test {
protected:
    ItemManagerTest() {
        manager.makeFountain = [this](const glm::vec3& position) {
            requested.push_back(position);
            auto fountain = std::make_shared<TestFountain>();
            return ItemManager::SpawnedFountain{fountain, &fountain->body};
        };
    }
    ~ItemManagerTest() override { manager.clear(world.get()); }

    testsupport::PhysicsWorld world;
    ItemManager manager{std::make_shared<TexturedMesh>(), 7};
    std::vector<glm::vec3> requested;
    Random random{4321};
};

TEST_F(ItemManagerTest, ItemsRestOneAboveTheGroundNeverInsideItAroundAFountainUnderTheCentre) {
    world.addGround(tags::kTerrain, 5.0f);
    // A rock column in the middle of the cluster, top at 50; the occupancy query covers it.
    world.addBox(tags::kTerrain, glm::vec3(400, 25, 400), glm::vec3(10, 25, 10));
    int blockedQueries = 0;
    manager.spawn(
        20, kCentre, world.get(),
        [&](float x, float y, float z) {
            const bool insideRock = std::abs(x - 400) <= 11 && std::abs(z - 400) <= 11 && y <= 51;
            blockedQueries += insideRock;
            return insideRock;
        },
        random);
    EXPECT_GT(blockedQueries, 0);
    ASSERT_EQ(manager.getItems().size(), 20u);
    for (const auto& item : manager.getItems()) {
        const glm::vec3& p = item->position;
        EXPECT_TRUE(std::abs(p.x - 400) <= 20 && std::abs(p.z - 400) <= 20) << p.x << ", " << p.z;
        EXPECT_NEAR(p.y, std::abs(p.x - 400) < 10 && std::abs(p.z - 400) < 10 ? 51.0f : 6.0f, 1e-3f);
        EXPECT_FALSE(inWorld(item->rigidBody));
        EXPECT_NE(item->meshes[0], manager.itemMesh) << "each item draws its own copy";
        const glm::vec3 top(item->meshes[0]->getModelMatrix() * glm::vec4(0, 0, 2, 1));
        EXPECT_TRUE(near(top, p + glm::vec3(0, 1, 0))) << "the model stands up at half its size";
    }
    // The fountain stands a little into the ground below the centre, its body 0.5, 1, 0.5 off it.
    ASSERT_EQ(requested.size(), 1u);
    EXPECT_TRUE(near(requested[0], glm::vec3(400, 49.8f, 400)));
    EXPECT_TRUE(near(manager.fountainBodies[0]->getWorldTransform().getOrigin(), glm::vec3(400.5f, 50.8f, 400.5f)));
    EXPECT_FALSE(inWorld(manager.fountainBodies[0])) << "spawn adds nothing to the world";
}

TEST_F(ItemManagerTest, DropsIntoWaterAreRefusedAndMissesKeepTheirStartHeight) {
    world.addGround(tags::kTerrain, 5.0f);
    world.addBox(tags::kWater, glm::vec3(390, 5.5f, 400), glm::vec3(15, 0.5f, 40));  // x 375 to 405, top 6
    manager.spawn(10, kCentre, world.get(), kOpen, random);
    EXPECT_EQ(manager.getItems().size(), 10u);
    for (const auto& item : manager.getItems()) EXPECT_GT(item->position.x, 405.0f);
    EXPECT_TRUE(manager.getFountains().empty()) << "no fountain in the lake";
    manager.clear(world.get());
    // Over nothing at all, an item stays one unit above its whole-numbered start height.
    manager.spawn(10, glm::vec3(1400, 0, 1400), world.get(), kOpen, random);
    for (const auto& item : manager.getItems()) {
        EXPECT_TRUE(item->position.y >= 11 && item->position.y <= 100 &&
                    item->position.y == std::round(item->position.y));
    }
    EXPECT_TRUE(near(requested.back(), glm::vec3(1400, 99.8f, 1400)));
}

TEST_F(ItemManagerTest, HopelessClustersStopAfterTwentyAttemptsPerItemAndAfterASplashEveryMissIsRefused) {
    world.addBox(tags::kWater, glm::vec3(400, 0, 400), glm::vec3(100, 1, 100));
    int queries = 0;
    manager.spawn(
        20, kCentre, world.get(), [&](float, float, float) { return ++queries > 0; }, random);
    EXPECT_TRUE(manager.getItems().empty());
    EXPECT_EQ(queries, 20 * ItemManager::kAttemptsPerItem);
    // Water under the cluster but for a strip over nothing: after the first splash every miss fails.
    world.addBox(tags::kWater, glm::vec3(595, 0, 600), glm::vec3(15, 1, 30));  // x 580 to 610
    manager.spawn(10, glm::vec3(600, 0, 600), world.get(), kOpen, random);
    EXPECT_LT(manager.getItems().size(), 10u);
    for (const auto& item : manager.getItems()) EXPECT_GT(item->position.x, 610.0f);
}

TEST_F(ItemManagerTest, FountainsJoinTheWorldOnceWithoutGravityAndClearTakesEverythingOut) {
    world.addGround(tags::kTerrain, 5.0f);
    manager.spawn(5, kCentre, world.get(), kOpen, random);
    manager.spawn(5, glm::vec3(200, 0, 200), world.get(), kOpen, random);
    for (const auto& item : manager.getItems()) world->addRigidBody(item->rigidBody);
    world->removeRigidBody(manager.getItems()[2]->rigidBody);  // collected
    manager.addFountainsToWorld(world.get());
    manager.addFountainsToWorld(world.get());
    EXPECT_EQ(world->getNumCollisionObjects(), 1 + 9 + 2);
    for (const btRigidBody* body : manager.fountainBodies) EXPECT_EQ(body->getGravity(), btVector3(0, 0, 0));
    const std::weak_ptr<Item> item = manager.getItems()[0];
    const std::weak_ptr<Healer> fountain = manager.getFountains()[0];
    manager.clear(world.get());
    EXPECT_EQ(world->getNumCollisionObjects(), 1);
    EXPECT_TRUE(item.expired() && fountain.expired() && manager.fountainBodies.empty());
    world->stepSimulation(1.0 / 60.0);  // nothing left pointing at freed objects
}

}  // namespace
