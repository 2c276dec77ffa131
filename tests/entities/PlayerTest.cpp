#include "entities/Player.h"

#include "support/HeardSounds.h"

#include "render/Material.h"
#include "render/TexturedMesh.h"
#include "support/AssetFileWriter.h"
#include "support/GlContext.h"
#include "support/PhysicsWorld.h"
#include "support/TempDirectory.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr float kDt = 0.02f;
enum { W, A, S, D, Space, Shift };

void expectNear(const glm::vec3& a, const glm::vec3& b, float eps = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

std::vector<int> keys(std::initializer_list<int> held) {
    std::vector<int> k(6, 0);
    for (int key : held) k[key] = 1;
    return k;
}

// The game's player on flat terrain (top at y = 0), with its body in the world.
class PlayerTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        player = std::make_unique<Player>("player_v3.dae");
        world.addGround("terrain", 0.0f);
        world.add(player->rigidBody);
        player->setPosition(glm::vec3(100, 0, 100));
        player->grounded = true;
    }
    // Drives the player for one frame with the given keys held and returns how far it went.
    glm::vec3 frame(const std::vector<int>& held, float dt = kDt) {
        const glm::vec3 before = player->position;
        player->update(dt, held, world.get());
        return player->position - before;
    }
    std::string clickAt(const glm::vec3& aimPoint) {
        testing::internal::CaptureStdout();
        player->moveTo(aimPoint, world.get());
        return testing::internal::GetCapturedStdout();
    }

    std::unique_ptr<Player> player;  // declared before the world, which lets go of its body first
    testsupport::PhysicsWorld world;
};

TEST_F(PlayerTest, PartsGetTheirTexturesAndShine) {
    const struct {
        int size;
        float shineDamper, reflectivity;
    } expected[] = {{512, 1, 0}, {256, 1, 0}, {256, 10, 1}, {512, 1, 0}};
    ASSERT_GE(player->meshes.size(), 4u);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    for (int i = 0; i < 4; ++i) {
        const Material& m = *player->meshes[i]->material;
        GLint width = 0, height = 0;
        glBindTexture(GL_TEXTURE_2D, m.textureId);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        EXPECT_EQ(width, expected[i].size) << "mesh " << i;
        EXPECT_EQ(height, expected[i].size) << "mesh " << i;
        EXPECT_FLOAT_EQ(m.shineDamper, expected[i].shineDamper) << "mesh " << i;
        EXPECT_FLOAT_EQ(m.reflectivity, expected[i].reflectivity) << "mesh " << i;
        EXPECT_FALSE(m.hasTransparency);
    }
    glBindTexture(GL_TEXTURE_2D, bound);
    for (const auto& mesh : player->meshes) {
        EXPECT_NE(mesh->material->programId, 0u);
        expectNear(mesh->position, player->position + glm::vec3(0, 1, 0));  // the meshes ride 1 above
    }
    EXPECT_EQ(player->name, "player");
}

TEST_F(PlayerTest, WWinsOverSAndAWinsOverD) {
    expectNear(frame(keys({W, S})), glm::vec3(0, 0, -10 * kDt));
    expectNear(frame(keys({A, D})), glm::vec3(0));
    EXPECT_NEAR(player->rotation.y, 3.0f * kDt, 1e-6f);
}

TEST_F(PlayerTest, ShiftMakesAAndDStrafeInsteadOfTurning) {
    expectNear(frame(keys({A, Shift})), glm::vec3(-10 * kDt, 0, 0));
    expectNear(frame(keys({A, D, Shift})), glm::vec3(-10 * kDt, 0, 0));
    expectNear(frame(keys({D, Shift})), glm::vec3(10 * kDt, 0, 0));
    EXPECT_FLOAT_EQ(player->rotation.y, 0.0f);
}

TEST_F(PlayerTest, DiagonalWalkIsNoFaster) {
    const glm::vec3 moved = frame(keys({W, D, Shift}));
    EXPECT_NEAR(glm::length(moved), 10 * kDt, 1e-4f);
    EXPECT_NEAR(moved.x, -moved.z, 1e-5f);
}

TEST_F(PlayerTest, JumpsOnlyFromTheGround) {
    testsupport::HeardSounds sounds;
    player->sounds = &sounds;
    frame(keys({Space}));
    EXPECT_FLOAT_EQ(player->verticalVelocity, 3.0f);
    EXPECT_NEAR(player->position.y, 3.0f * kDt, 1e-5f);
    frame(keys({Space}));  // still within the ground probe: the same jump goes on
    EXPECT_EQ(sounds.heard, std::vector<std::string>{"jump"});

    player->setPosition(glm::vec3(100, 1.6f, 100));  // beyond the reach of the ground probe
    frame(keys({Space}));
    EXPECT_FALSE(player->grounded);
    frame(keys({Space}));
    EXPECT_FLOAT_EQ(player->verticalVelocity, 3.0f - 6.0f * kDt);
}

TEST_F(PlayerTest, FallSpeedStopsGrowingAtTerminalSpeed) {
    player->setPosition(glm::vec3(100, 500, 100));
    player->verticalVelocity = -23.9f;
    frame(keys({}), 0.1f);
    EXPECT_FLOAT_EQ(player->verticalVelocity, -24.5f);
    frame(keys({}), 0.1f);
    EXPECT_FLOAT_EQ(player->verticalVelocity, -24.5f);
}

TEST_F(PlayerTest, DashStartsFastSlowsDownAndEnds) {
    player->setPosition(glm::vec3(100, 2, 100));
    player->moveTarget = glm::vec3(100, 2, 200);
    player->movingToTarget = true;
    expectNear(frame(keys({S}), 0.01f), glm::vec3(0, 0, 2));  // 200 * dt, the keys do nothing
    expectNear(frame(keys({}), 0.01f), glm::vec3(0, 0, 20 * std::sqrt(98.0f) * 0.01f));

    // Long frames must still bring it home rather than bounce it around the target.
    for (int i = 0; i < 100 && player->movingToTarget; ++i) frame(keys({}), 0.05f);
    EXPECT_FALSE(player->movingToTarget);
    expectNear(player->position, player->moveTarget, 0.05f);

    player->syncFromBody();
    const btVector3 body = player->motionState->m_graphicsWorldTrans.getOrigin();
    expectNear(glm::vec3(body.x(), body.y(), body.z()), player->position + glm::vec3(0, 1, 0));
}

TEST_F(PlayerTest, DashStopsInFrontOfAnObstacle) {
    player->setPosition(glm::vec3(100, 1, 100));
    world.addBox("rock", glm::vec3(100, 2, 99), glm::vec3(3, 2, 0.25f));
    player->moveTarget = glm::vec3(100, 1, 50);
    player->movingToTarget = true;
    player->grounded = false;
    expectNear(frame(keys({})), glm::vec3(0));
    EXPECT_FALSE(player->movingToTarget);
    EXPECT_TRUE(player->grounded);  // probed again where it stopped
}

TEST_F(PlayerTest, RightClickDashesOnlyToDistantTerrain) {
    // Hovering 1 above the ground, so a terrain point can lie within 2 of the lifted target while
    // the ray from above the head still misses the player's own body.
    player->setPosition(glm::vec3(100, 1, 100));
    player->syncFromBody();
    world->stepSimulation(1.0 / 60.0, 10, 1.0 / 60.0);
    world.addBox("item", glm::vec3(110, 1, 100), glm::vec3(0.3f));
    testsupport::HeardSounds sounds;
    player->sounds = &sounds;

    EXPECT_EQ(clickAt(glm::vec3(110, 1, 100)), "item\n");
    EXPECT_FALSE(player->movingToTarget);

    EXPECT_EQ(clickAt(glm::vec3(103, -3.5f, 100)), "terrain\n");  // lands at x = 101.5: 1.8 from the target
    EXPECT_FALSE(player->movingToTarget);
    expectNear(player->moveTarget, glm::vec3(0));
    EXPECT_TRUE(sounds.heard.empty());

    EXPECT_EQ(clickAt(glm::vec3(100, -3.5f, 110)), "terrain\n");
    EXPECT_TRUE(player->movingToTarget);
    EXPECT_EQ(sounds.heard, std::vector<std::string>{"dash"});
    expectNear(player->moveTarget, glm::vec3(100, 2, 105));

    EXPECT_EQ(clickAt(glm::vec3(100, 100, 100)), "");  // nothing above
}

TEST_F(PlayerTest, ShotsStartThreeUnitsUpItsOwnAxis) {
    player->setPosition(glm::vec3(5, 6, 7));
    expectNear(player->getProjectileSpawnPoint(), glm::vec3(5, 9, 7));
    player->setRotation(glm::vec3(0, 0, 1.5707964f));
    expectNear(player->getProjectileSpawnPoint(), glm::vec3(2, 6, 7));
}

using PlayerModelTest = testsupport::GlTest;

TEST_F(PlayerModelTest, ModelWithTooFewPartsIsRefused) {
    testsupport::TempDirectory folder;
    const testsupport::MeshSpec triangle{
        "part", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1, 0, 0, 1, 0, 0, 1}, {}, {0, 1, 2}};
    ASSERT_EQ(testsupport::writeColladaModel(folder.file("res/models/three_parts.dae"), {triangle, triangle, triangle}),
              "");
    testsupport::ScopedWorkingDirectory inFolder(folder.path());
    // A forked child cannot shut its copy of the GL context down, so the child starts afresh; it then
    // writes its own folder, which it has to clear on the way out since exit skips destructors.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static std::string childFolder = folder.path();
            std::atexit([] { std::filesystem::remove_all(childFolder); });
            Player player("three_parts.dae");
        },
        testing::ExitedWithCode(1), "three_parts.dae");
}

}  // namespace
