#include "entities/ItemManager.h"

#include "game/Random.h"
#include "render/Material.h"
#include "render/TexturedMesh.h"
#include "render/TexturedShader.h"
#include "support/GlContext.h"
#include "support/PhysicsWorld.h"

#include <GL/glew.h>
#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

const glm::vec3 kCentre(400, 0, 400);
const ItemManager::BlockedQuery kOpen;  // nothing blocked

// A fountain that owns its body, as the game's fountains do.
class TestFountain : public Healer {
public:
    TestFountain()
        : shape(0.5),
          motionState(btTransform::getIdentity()),
          body(btRigidBody::btRigidBodyConstructionInfo(1.0, &motionState, &shape, btVector3(0, 0, 0))) {
        name = "fountain";
        body.setUserPointer(static_cast<SceneObject*>(this));
    }
    btSphereShape shape;
    btDefaultMotionState motionState;
    btRigidBody body;
};

glm::vec3 originOf(const btRigidBody* body) {
    const btVector3& o = body->getWorldTransform().getOrigin();
    return glm::vec3(o.x(), o.y(), o.z());
}

bool inWorld(const btRigidBody* body) { return body->getBroadphaseHandle() != nullptr; }

// A manager over a made-up diamond (texture 7), in a real world; its fountains record where they were
// asked to stand.
class ItemManagerTest : public ::testing::Test {
protected:
    ItemManagerTest() {
        std::srand(4321);
        manager.makeFountain = [this](const glm::vec3& position) {
            requested.push_back(position);
            auto fountain = std::make_shared<TestFountain>();
            return ItemManager::SpawnedFountain{fountain, &fountain->body};
        };
    }
    void TearDown() override { manager.clear(world.get()); }

    static std::shared_ptr<TexturedMesh> diamond() {
        auto mesh = std::make_shared<TexturedMesh>();
        mesh->vaoId = 42;
        mesh->material = std::make_shared<Material>(7);
        return mesh;
    }

    testsupport::PhysicsWorld world;
    ItemManager manager{diamond(), 7};
    std::vector<glm::vec3> requested;
};

// The game seeds once per world, before the landscape; a new manager must not start the sequence over.
TEST_F(ItemManagerTest, ConstructionLeavesTheRandomSequenceAlone) {
    std::srand(4321);
    const int next = randomDraw();
    std::srand(4321);
    ItemManager another{diamond(), 7};
    EXPECT_EQ(randomDraw(), next);
}

TEST_F(ItemManagerTest, NoItemsStillPlacesAFountainOnTheGroundUnderTheCentre) {
    world.addGround("terrain", 5.0f);
    std::srand(3);
    const int next = randomDraw();
    std::srand(3);
    manager.spawn(0, glm::vec3(400, 30, 410), world.get(), kOpen);

    EXPECT_TRUE(manager.getItems().empty());
    EXPECT_EQ(randomDraw(), next) << "no item attempt draws anything";
    ASSERT_EQ(manager.getFountains().size(), 1u);
    ASSERT_EQ(manager.fountainBodies.size(), 1u);
    const glm::vec3 expected(400, 4.8f, 410);
    ASSERT_EQ(requested.size(), 1u);
    EXPECT_NEAR(glm::length(requested[0] - expected), 0.0f, 1e-4f);
    EXPECT_NEAR(glm::length(manager.getFountains()[0]->position - expected), 0.0f, 1e-4f);
    EXPECT_NEAR(glm::length(originOf(manager.fountainBodies[0]) - (expected + glm::vec3(0.5f, 1.0f, 0.5f))), 0.0f,
                1e-4f);
    EXPECT_FALSE(inWorld(manager.fountainBodies[0])) << "spawn adds nothing to the world";
}

TEST_F(ItemManagerTest, ItemsRestOnTopOfTheGroundNeverInsideIt) {
    world.addGround("terrain", 5.0f);
    // A rock column in the middle of the cluster, top at 50; the occupancy query covers it.
    world.addBox("terrain", glm::vec3(400, 25, 400), glm::vec3(5, 25, 5));
    const auto insideRock = [](float x, float y, float z) {
        return std::abs(x - 400) <= 6 && std::abs(z - 400) <= 6 && y <= 51;
    };
    int blockedQueries = 0;
    manager.spawn(20, kCentre, world.get(), [&](float x, float y, float z) {
        blockedQueries += insideRock(x, y, z);
        return insideRock(x, y, z);
    });

    EXPECT_GT(blockedQueries, 0) << "some start points were inside the rock";
    const auto items = manager.getItems();
    ASSERT_EQ(items.size(), 20u);
    for (const auto& item : items) {
        const glm::vec3& p = item->position;
        EXPECT_NEAR(p.x, 400.0f, 20.0f);
        EXPECT_NEAR(p.z, 400.0f, 20.0f);
        const bool overRock = std::abs(p.x - 400) < 5 && std::abs(p.z - 400) < 5;
        EXPECT_NEAR(p.y, overRock ? 51.0f : 6.0f, 1e-3f) << "one unit above the surface below";
        EXPECT_EQ(item->name, "item");
        EXPECT_TRUE(item->visible);
        EXPECT_TRUE(item->bodyDriven);
        EXPECT_FALSE(inWorld(item->rigidBody));
        EXPECT_NEAR(glm::length(originOf(item->rigidBody) - (p + glm::vec3(0, 0.2f, 0))), 0.0f, 1e-4f);
        EXPECT_TRUE(item->rigidBody->getCollisionFlags() & btCollisionObject::CF_NO_CONTACT_RESPONSE);
        EXPECT_EQ(item->rigidBody->getUserPointer(), static_cast<SceneObject*>(item.get()));
        ASSERT_EQ(item->meshes.size(), 1u);
        const auto& mesh = item->meshes[0];
        EXPECT_NE(mesh, manager.itemMesh) << "each item draws its own copy";
        EXPECT_EQ(mesh->vaoId, 42u);
        EXPECT_EQ(mesh->material, manager.itemMesh->material);
        EXPECT_EQ(mesh->parent, item.get());
        EXPECT_NEAR(glm::length(mesh->position - p), 0.0f, 1e-4f);
        EXPECT_FLOAT_EQ(mesh->scale.x, 0.5f);
        EXPECT_FLOAT_EQ(item->scale.y, 0.5f);
        EXPECT_NEAR(mesh->rotation.x, -1.5707964f, 1e-5f);
    }
}

TEST_F(ItemManagerTest, ClusterOverWaterGetsItemsOnlyOnLandAndNoFountain) {
    world.addGround("terrain", 5.0f);
    world.addBox("water", glm::vec3(390, 5.5f, 400), glm::vec3(15, 0.5f, 40));  // x 375 to 405, top 6
    manager.spawn(10, kCentre, world.get(), kOpen);

    const auto items = manager.getItems();
    EXPECT_EQ(items.size(), 10u);
    for (const auto& item : items) {
        EXPECT_GT(item->position.x, 405.0f);
        EXPECT_NEAR(item->position.y, 6.0f, 1e-3f);
    }
    EXPECT_TRUE(manager.getFountains().empty());
    EXPECT_TRUE(requested.empty());
}

TEST_F(ItemManagerTest, HopelessClustersFinishWithWhatTheyGot) {
    world.addBox("water", glm::vec3(400, 0, 400), glm::vec3(100, 1, 100));
    std::srand(9);
    for (int i = 0; i < 3 * 20 * ItemManager::kAttemptsPerItem; ++i) randomDraw();
    const int afterCappedAttempts = randomDraw();

    std::srand(9);
    manager.spawn(20, kCentre, world.get(), [](float, float, float) { return true; });
    EXPECT_TRUE(manager.getItems().empty());
    EXPECT_EQ(randomDraw(), afterCappedAttempts) << "three draws per attempt, 20 attempts per item";

    manager.spawn(20, kCentre, world.get(), kOpen);  // all lake
    EXPECT_TRUE(manager.getItems().empty());
    EXPECT_TRUE(manager.getFountains().empty());
}

TEST_F(ItemManagerTest, DropsThatHitNothingStayOneUnitAboveTheirStart) {
    manager.spawn(10, kCentre, world.get(), kOpen);
    ASSERT_EQ(manager.getItems().size(), 10u);
    for (const auto& item : manager.getItems()) {
        const float y = item->position.y;
        EXPECT_GE(y, 11.0f);
        EXPECT_LE(y, 100.0f);
        EXPECT_FLOAT_EQ(y, std::round(y)) << "a whole start height plus one";
    }
    ASSERT_EQ(requested.size(), 1u);
    EXPECT_NEAR(glm::length(requested[0] - glm::vec3(400, 99.8f, 400)), 0.0f, 1e-4f);
}

TEST_F(ItemManagerTest, AMissAfterASplashIsRejectedToo) {
    // Water under the whole cluster but for one strip with nothing below: the first drop of the call
    // splashes, and the name of what was hit is kept for the rest of the call.
    world.addBox("water", glm::vec3(395, 0, 400), glm::vec3(15, 1, 30));  // x 380 to 410
    manager.spawn(10, kCentre, world.get(), kOpen);
    // Only drops before the first splash can place an item (a quarter of the square is dry), while
    // 200 attempts would otherwise fill the cluster many times over.
    EXPECT_LT(manager.getItems().size(), 10u);
    for (const auto& item : manager.getItems()) EXPECT_GT(item->position.x, 410.0f);
}

TEST_F(ItemManagerTest, AWorldOfClustersHasBetween35And140Items) {
    world.addGround("terrain", 5.0f);
    for (unsigned seed : {1u, 2u, 3u}) {
        std::srand(seed);
        int expected = 0;
        // The game's cluster choice: six random centres over the map and one next to the player.
        for (int cluster = 0; cluster < 7; ++cluster) {
            glm::vec3 centre(401, 0, 401);
            if (cluster < 6) {
                centre.x = 100.0f + 600.0f * static_cast<float>(randomDraw()) / 32767.0f;
                centre.z = 100.0f + 600.0f * static_cast<float>(randomDraw()) / 32767.0f;
            }
            const int count = 5 + static_cast<int>(15.0f * static_cast<float>(randomDraw()) / 32767.0f);
            expected += count;
            manager.spawn(count, centre, world.get(), kOpen);
        }
        EXPECT_EQ(static_cast<int>(manager.getItems().size()), expected) << "every cluster is filled";
        EXPECT_GE(expected, 35);
        EXPECT_LE(expected, 140);
        EXPECT_EQ(manager.getFountains().size(), 7u);
        manager.clear(world.get());
    }
}

TEST_F(ItemManagerTest, ClearTakesEveryBodyOutOfTheWorldBeforeLettingGo) {
    world.addGround("terrain", 5.0f);
    manager.spawn(5, kCentre, world.get(), kOpen);
    manager.spawn(5, glm::vec3(200, 0, 200), world.get(), kOpen);
    for (const auto& item : manager.getItems()) world->addRigidBody(item->rigidBody);
    world->removeRigidBody(manager.getItems()[2]->rigidBody);  // collected
    manager.addFountainsToWorld(world.get());
    manager.addFountainsToWorld(world.get());  // only once each
    ASSERT_EQ(world->getNumCollisionObjects(), 1 + 9 + 2);
    for (const btRigidBody* body : manager.fountainBodies) {
        EXPECT_TRUE(inWorld(body));
        EXPECT_EQ(body->getGravity(), btVector3(0, 0, 0));
    }
    std::weak_ptr<Item> item = manager.getItems()[0];
    std::weak_ptr<Healer> fountain = manager.getFountains()[0];

    manager.clear(world.get());
    EXPECT_EQ(world->getNumCollisionObjects(), 1);
    EXPECT_TRUE(manager.getItems().empty());
    EXPECT_TRUE(manager.getFountains().empty());
    EXPECT_TRUE(manager.fountainBodies.empty());
    EXPECT_TRUE(item.expired());
    EXPECT_TRUE(fountain.expired());
    world->stepSimulation(1.0 / 60.0);  // nothing left pointing at freed objects
}

class ItemManagerGlTest : public testsupport::GlTest {};

TEST_F(ItemManagerGlTest, LoadsTheDiamondWithAShinyMaterialAndReleasesItsTexture) {
    GLuint texture = 0;
    {
        ItemManager manager;
        texture = manager.itemTexture;
        ASSERT_TRUE(manager.itemMesh);
        EXPECT_NE(manager.itemMesh->vaoId, 0u);
        EXPECT_EQ(glIsTexture(texture), GL_TRUE);
        const auto& material = manager.itemMesh->material;
        ASSERT_TRUE(material);
        EXPECT_EQ(material->textureId, texture);
        EXPECT_FLOAT_EQ(material->shineDamper, 1.0f);
        EXPECT_FLOAT_EQ(material->reflectivity, 1.0f);
        EXPECT_FALSE(material->hasTransparency);
        EXPECT_EQ(material->shader, TexturedShader::getInstance());
    }
    EXPECT_EQ(glIsTexture(texture), GL_FALSE);
}

}  // namespace
