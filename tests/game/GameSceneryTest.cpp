#include "game/Game.h"

#include "app/Globals.h"
#include "effects/ParticleSystem.h"
#include "effects/SkyBox.h"
#include "effects/WaterFrameBuffers.h"
#include "effects/WaterTile.h"
#include "entities/EnemyManager.h"
#include "entities/Player.h"
#include "entities/Rabbit.h"
#include "game/OwnerFilteredRay.h"
#include "render/Camera.h"
#include "support/GlContext.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

// The water passes, the turning sky and the trail in whole frames of a small game. One game is built
// per test (seconds on llvmpipe), so each test covers several related behaviours.

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;

// What the camera looked like when a scene pass began.
struct Pass {
    glm::vec4 clipPlane;
    float maxDistance;
    glm::vec3 cameraPosition;
    glm::vec3 cameraRotation;
};

class GameSceneryTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        cullingEnabled = true;
        game = std::make_unique<Game>(
            static_cast<float>(WIDTH) / HEIGHT, WIDTH, HEIGHT, [this] { return now; }, [] { return 777u; });
        testing::internal::CaptureStdout();
        game->init();
        testing::internal::GetCapturedStdout();
        game->onScenePass = [this](const glm::vec4& plane, float distance) {
            passes.push_back({plane, distance, game->camera->position, game->camera->rotation});
        };
    }
    void TearDown() override {
        game.reset();
        cullingEnabled = true;
    }

    // One frame of `ms` milliseconds with the mouse still and no key held.
    void frame(int32_t ms) {
        now += ms;
        passes.clear();
        game->update(0.0f, 0.0f, std::vector<int>(6, 0));
    }

    int32_t now = 1000;
    std::unique_ptr<Game> game;
    std::vector<Pass> passes;
};

}  // namespace

TEST_F(GameSceneryTest, WaterPassesMirrorTheCameraAndTheSkyTurnsOncePerPass) {
    const auto tile = game->waterTiles.front();
    EXPECT_EQ(tile->position, glm::vec3(400.0f, 4.0f, 400.0f));
    EXPECT_EQ(tile->textures[0], game->waterFrameBuffers->reflectionTexture);
    EXPECT_EQ(tile->textures[1], game->waterFrameBuffers->refractionTexture);
    EXPECT_EQ(tile->textures[4], game->waterFrameBuffers->refractionDepthTexture);

    frame(100);
    ASSERT_EQ(passes.size(), 3u);
    const Pass &reflection = passes[0], &refraction = passes[1], &main = passes[2];
    EXPECT_EQ(reflection.clipPlane, glm::vec4(0.0f, 1.0f, 0.0f, -4.0f + 0.2f));
    EXPECT_EQ(refraction.clipPlane, glm::vec4(0.0f, -1.0f, 0.0f, 4.0f + 0.2f));
    EXPECT_EQ(main.clipPlane, glm::vec4(0.0f, -1.0f, 0.0f, 10000.0f));
    EXPECT_EQ(reflection.maxDistance, 50.0f);
    EXPECT_EQ(refraction.maxDistance, 50.0f);
    EXPECT_EQ(main.maxDistance, 400.0f);

    // The mirror camera is as far below the water as the real one is above, looking up as much as
    // the real one looks down; the real camera is back exactly where it was for the next passes.
    const float above = main.cameraPosition.y - 4.0f;
    EXPECT_NEAR(reflection.cameraPosition.y, 4.0f - above, 1e-4f);
    EXPECT_EQ(reflection.cameraPosition.x, main.cameraPosition.x);
    EXPECT_EQ(reflection.cameraPosition.z, main.cameraPosition.z);
    EXPECT_EQ(reflection.cameraRotation.x, -main.cameraRotation.x);
    EXPECT_EQ(reflection.cameraRotation.y, main.cameraRotation.y);
    EXPECT_EQ(refraction.cameraPosition, main.cameraPosition);
    EXPECT_EQ(refraction.cameraRotation, main.cameraRotation);
    EXPECT_EQ(game->camera->position, main.cameraPosition);
    EXPECT_EQ(game->camera->rotation, main.cameraRotation);

    // Three passes turn the sky three times; the waves advance once per frame.
    const float rotation = game->skyBox->rotation;
    const float phase = tile->moveFactor;
    frame(100);
    EXPECT_NEAR(game->skyBox->rotation - rotation, 3.0f * 0.1f / 500.0f, 1e-6f);
    EXPECT_NEAR(tile->moveFactor - phase, 0.02f * 0.1f, 1e-6f);

    // The same tile behind the camera gets no images with culling on, but its waves still move.
    tile->setPosition(game->camera->position + glm::vec3(0.0f, -10.0f, 3000.0f));
    const float before = game->skyBox->rotation;
    const float phaseBefore = tile->moveFactor;
    frame(100);
    ASSERT_EQ(passes.size(), 1u);
    EXPECT_EQ(passes[0].maxDistance, 400.0f);
    EXPECT_NEAR(game->skyBox->rotation - before, 0.1f / 500.0f, 1e-6f);
    EXPECT_NEAR(tile->moveFactor - phaseBefore, 0.02f * 0.1f, 1e-6f);

    cullingEnabled = false;
    frame(100);
    EXPECT_EQ(passes.size(), 3u);

    // The camera 6 above the water: the mirror pass looks from 2 below it. A frame of 0 ms leaves the
    // lifted cat where it is.
    cullingEnabled = true;
    tile->setPosition(glm::vec3(400.0f, 4.0f, 400.0f));
    game->player->setPosition(game->player->position + glm::vec3(0.0f, 10.0f - game->camera->position.y, 0.0f));
    ASSERT_FLOAT_EQ(game->camera->position.y, 10.0f);
    const glm::vec3 rotationBefore = game->camera->rotation;
    frame(0);
    ASSERT_EQ(passes.size(), 3u);
    EXPECT_NEAR(passes[0].cameraPosition.y, -2.0f, 1e-4f);
    EXPECT_NEAR(passes[0].cameraRotation.x, -rotationBefore.x, 1e-5f);
    EXPECT_NEAR(passes[2].cameraPosition.y, 10.0f, 1e-4f);
    EXPECT_EQ(game->camera->position, passes[2].cameraPosition);
}

TEST_F(GameSceneryTest, TrailFollowsTheCatAndRabbitsKeepToTheShore) {
    const auto trail = game->playerParticles;
    ASSERT_TRUE(trail);
    EXPECT_TRUE(trail->active);
    EXPECT_EQ(ParticleSystem::systems().size(), 1u);

    // Half a second of frames: the emitter hangs over the cat and sheds sparkles that fall.
    for (int i = 0; i < 5; ++i) frame(100);
    EXPECT_EQ(trail->position, game->player->position + glm::vec3(0.0f, 0.7f, 0.0f));
    int alive = 0;
    for (const auto& particle : trail->particles) {
        if (!particle->alive) continue;
        ++alive;
        EXPECT_LT(particle->velocity.y, 0.0f);
    }
    EXPECT_GE(alive, 8);
    EXPECT_LE(alive, 12);

    // Ground rabbits never stand on the lake: the land below each one is not under water.
    for (int i = 0; i < 5; ++i) frame(300);
    int checked = 0;
    for (const auto& rabbit : game->enemyManager->rabbits) {
        if (!rabbit->visible) continue;
        const btVector3 from(rabbit->position.x, rabbit->position.y + 1.0f, rabbit->position.z);
        const btVector3 to(rabbit->position.x, rabbit->position.y - 50.0f, rabbit->position.z);
        OwnerFilteredRay ground(from, to, OwnerFilteredRay::named("terrain"));  // looks through the water
        game->dynamicsWorld->rayTest(from, to, ground);
        ASSERT_TRUE(ground.hasHit());
        // The shore line itself may lie a hair below the water line; the lake bed may not.
        EXPECT_GT(ground.m_hitPointWorld.y(), 4.0 - 0.1)
            << "a rabbit stands on the lake at " << rabbit->position.x << ", " << rabbit->position.z;
        ++checked;
    }
    EXPECT_GT(checked, 0);

    // Nothing collides with the water: the body takes no contact response.
    EXPECT_TRUE(game->waterTiles.front()->rigidBody->getCollisionFlags() & btCollisionObject::CF_NO_CONTACT_RESPONSE);
}
