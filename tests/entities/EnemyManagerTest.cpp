#include "entities/EnemyManager.h"

#include "game/Random.h"
#include "render/Material.h"
#include "render/TexturedMesh.h"
#include "support/GlContext.h"
#include "support/PhysicsWorld.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace {

const glm::vec3 kCentre(400, 0, 400);
const EnemyManager::BlockedQuery kOpen;  // nothing blocked

std::vector<std::shared_ptr<TexturedMesh>> plainModel(int meshCount) {
    std::vector<std::shared_ptr<TexturedMesh>> meshes;
    for (int i = 0; i < meshCount; ++i) {
        meshes.push_back(std::make_shared<TexturedMesh>());
        meshes.back()->material = std::make_shared<Material>();
    }
    return meshes;
}

// A manager over made-up models and materials (textures 1 eye, 2 body, 3 item).
class EnemyManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::srand(1234);
        manager.hooks.addRenderable = [this](int key, const std::shared_ptr<TexturedMesh>& mesh) {
            registered[key].push_back(mesh.get());
        };
    }
    void TearDown() override { manager.clear(world.get()); }
    int enemyBodiesInWorld() {
        int count = 0;
        for (int i = 0; i < world->getNumCollisionObjects(); ++i) {
            const auto* owner = static_cast<const SceneObject*>(world->getCollisionObjectArray()[i]->getUserPointer());
            count += owner && owner->name == "rabbit";
        }
        return count;
    }

    testsupport::PhysicsWorld world;
    EnemyManager manager{plainModel(2), plainModel(3), std::make_shared<Material>(1, 10.0f, 1.0f),
                         std::make_shared<Material>(2, 10.0f, 0.01f), std::make_shared<Material>(3, 10.0f, 0.01f)};
    std::map<int, std::vector<const TexturedMesh*>> registered;
};

// The game seeds once per world; a group draws on from there, so the next group lands elsewhere.
TEST_F(EnemyManagerTest, SpawningDrawsOnWithoutReseeding) {
    world.addGround("terrain", 0.0f);
    std::srand(99);
    const int firstDraw = randomDraw();
    std::srand(99);
    manager.spawn(0, 0, kCentre, world.get(), kOpen);
    EXPECT_EQ(randomDraw(), firstDraw);
    EXPECT_TRUE(manager.rabbits.empty());
    EXPECT_TRUE(manager.flyingRabbits.empty());
    EXPECT_TRUE(registered.empty());

    manager.spawn(2, 0, kCentre, world.get(), kOpen);
    manager.spawn(2, 0, kCentre, world.get(), kOpen);
    ASSERT_EQ(manager.rabbits.size(), 4u);
    EXPECT_NE(manager.rabbits[0]->position, manager.rabbits[2]->position);
    EXPECT_NE(manager.rabbits[1]->position, manager.rabbits[3]->position);
}

TEST_F(EnemyManagerTest, GroupsGetTheirCountsAroundTheCentre) {
    world.addGround("terrain", 5.0f);
    manager.spawn(20, 5, kCentre, world.get(), kOpen);
    manager.spawn(5, 2, kCentre, world.get(), kOpen);
    ASSERT_EQ(manager.rabbits.size(), 25u);
    ASSERT_EQ(manager.flyingRabbits.size(), 7u);
    EXPECT_EQ(enemyBodiesInWorld(), 32);
    for (const auto& rabbit : manager.rabbits) {
        EXPECT_NEAR(rabbit->position.x, 400.0f, 20.0f);
        EXPECT_NEAR(rabbit->position.z, 400.0f, 20.0f);
        EXPECT_FLOAT_EQ(rabbit->position.y, 5.0f) << "stands on the ground";
        EXPECT_EQ(rabbit->meshes[0]->material, manager.eyeMaterial);
        EXPECT_EQ(rabbit->meshes[1]->material, manager.bodyMaterial);
    }
    for (const auto& flyer : manager.flyingRabbits) {
        EXPECT_NEAR(flyer->position.x, 400.0f, 20.0f);
        EXPECT_GE(flyer->position.y, 10.0f);
        EXPECT_LE(flyer->position.y, 99.0f);
        EXPECT_EQ(flyer->meshes[0]->material, manager.itemMaterial);
        EXPECT_EQ(flyer->meshes[1]->material, manager.bodyMaterial);
        EXPECT_EQ(flyer->meshes[2]->material, manager.eyeMaterial);
    }
}

TEST_F(EnemyManagerTest, RabbitsAvoidWaterAndBlockedGround) {
    world.addBox("water", glm::vec3(390, -1, 400), glm::vec3(10, 1, 30));    // x from 380 to 400
    world.addBox("terrain", glm::vec3(410, -1, 400), glm::vec3(10, 1, 30));  // x from 400 to 420
    auto blocked = [](float, float, float z) { return z < 400.0f; };
    manager.spawn(20, 5, kCentre, world.get(), blocked);
    ASSERT_EQ(manager.rabbits.size(), 20u);
    ASSERT_EQ(manager.flyingRabbits.size(), 5u);
    for (const auto& rabbit : manager.rabbits) {
        EXPECT_GE(rabbit->position.x, 400.0f);
        EXPECT_GE(rabbit->position.z, 400.0f);
    }
    for (const auto& flyer : manager.flyingRabbits) EXPECT_GE(flyer->position.z, 400.0f);
}

TEST_F(EnemyManagerTest, HopelessGroupsStillFinish) {
    world.addGround("water", 0.0f);
    testing::internal::CaptureStderr();
    manager.spawn(20, 3, kCentre, world.get(), kOpen);
    EXPECT_TRUE(manager.rabbits.empty()) << "a lake takes no rabbits";
    EXPECT_EQ(manager.flyingRabbits.size(), 3u) << "but flying ones";
    manager.spawn(20, 3, kCentre, world.get(), [](float, float, float) { return true; });
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_EQ(manager.rabbits.size() + manager.flyingRabbits.size(), 3u);
    EXPECT_NE(report.find("400 attempts: 0 of 20 rabbits"), std::string::npos) << report;
}

TEST_F(EnemyManagerTest, ClearTakesEveryBodyOutOfTheWorld) {
    world.addGround("terrain", 0.0f);
    manager.spawn(6, 2, kCentre, world.get(), kOpen);
    world->removeRigidBody(manager.rabbits[2]->rigidBody);  // killed earlier by the contact rules
    manager.clear(world.get());
    EXPECT_EQ(enemyBodiesInWorld(), 0);
    EXPECT_TRUE(manager.rabbits.empty());
    EXPECT_TRUE(manager.flyingRabbits.empty());
}

TEST_F(EnemyManagerTest, UpdatesEveryLivingEnemy) {
    world.addGround("terrain", 0.0f);
    manager.spawn(2, 1, kCentre, world.get(), kOpen);
    manager.rabbits[0]->setPosition(manager.rabbits[0]->position + glm::vec3(0, 3, 0));
    manager.rabbits[1]->setPosition(manager.rabbits[1]->position + glm::vec3(0, 3, 0));
    manager.rabbits[1]->setVisible(false);
    const glm::vec3 flyerStart = manager.flyingRabbits[0]->position;
    manager.update(0.1f, glm::vec3(100, 0, 100), world.get());
    EXPECT_LT(manager.rabbits[0]->position.y, 3.0f);
    EXPECT_FLOAT_EQ(manager.rabbits[1]->position.y, 3.0f) << "a dead rabbit stays";
    EXPECT_NE(manager.flyingRabbits[0]->position, flyerStart);
}

// The game's own models and textures.
class EnemyManagerGlTest : public testsupport::GlTest {};

GLint textureWidth(GLuint texture) {
    GLint bound = 0, width = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glBindTexture(GL_TEXTURE_2D, bound);
    return width;
}

TEST_F(EnemyManagerGlTest, SharesTheLoadedModelsAndMaterials) {
    EnemyManager manager;
    ASSERT_GE(manager.rabbitMeshes.size(), 2u);
    ASSERT_GE(manager.flyingRabbitMeshes.size(), 3u);
    EXPECT_EQ(textureWidth(manager.eyeMaterial->textureId), 256);
    EXPECT_EQ(textureWidth(manager.bodyMaterial->textureId), 512);
    EXPECT_EQ(textureWidth(manager.itemMaterial->textureId), 64);
    EXPECT_FLOAT_EQ(manager.eyeMaterial->reflectivity, 1.0f);
    EXPECT_FLOAT_EQ(manager.bodyMaterial->reflectivity, 0.01f);
    EXPECT_FLOAT_EQ(manager.itemMaterial->shineDamper, 10.0f);

    std::vector<std::pair<int, std::shared_ptr<TexturedMesh>>> registered;
    manager.hooks.addRenderable = [&](int key, const std::shared_ptr<TexturedMesh>& mesh) {
        registered.emplace_back(key, mesh);
    };
    testsupport::PhysicsWorld world;
    world.addGround("terrain", 0.0f);
    manager.spawn(2, 1, kCentre, world.get(), kOpen);
    EXPECT_EQ(registered.size(), 2 * manager.rabbitMeshes.size() + manager.flyingRabbitMeshes.size());
    for (const auto& [key, mesh] : registered) EXPECT_EQ(key, static_cast<int>(mesh->material->textureId));
    const auto& copy = manager.rabbits[1]->meshes[1];
    EXPECT_NE(copy, manager.rabbitMeshes[1]);
    EXPECT_EQ(copy->vaoId, manager.rabbitMeshes[1]->vaoId);
    EXPECT_NE(copy->vaoId, 0u);
    manager.clear(world.get());
}

}  // namespace
