#include "game/Game.h"

#include "app/Callbacks.h"
#include "app/Globals.h"
#include "effects/GuiObject.h"
#include "effects/ParticleSystem.h"
#include "effects/SkyBox.h"
#include "effects/WaterFrameBuffers.h"
#include "effects/WaterTile.h"
#include "entities/EnemyManager.h"
#include "entities/ItemManager.h"
#include "entities/Player.h"
#include "entities/Projectile.h"
#include "game/GameStateManager.h"
#include "fluid/Healer.h"
#include "game/ObjectTags.h"
#include "physics/RayQueries.h"
#include "render/Camera.h"
#include "render/Material.h"
#include "render/PointLight.h"
#include "render/TexturedMesh.h"
#include "support/GlContext.h"
#include "support/HeardSounds.h"
#include "support/PhysicsWorld.h"
#include "support/ScopedGlobals.h"
#include "terrain/AdvancedTerrain.h"
#include "terrain/GrassScatter.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

// Whole frames of a 320 × 240 game on a fixed landscape, a clock the test sets, and the input callbacks
// between frames. A game takes seconds to build on llvmpipe, so each test plays a stretch of a round.

namespace {

constexpr int W = 320;
constexpr int H = 240;

glm::vec3 forwardOf(const SceneObject& object) { return glm::vec3(object.getModelMatrix() * glm::vec4(0, 0, -1, 0)); }

// A key going down, auto-repeating and coming up: only the press acts.
void tap(int key) {
    for (int action : {GLFW_PRESS, GLFW_REPEAT, GLFW_RELEASE}) keyCallback(testsupport::glWindow(), key, 0, action, 0);
}

void click(int button) {
    for (int action : {GLFW_PRESS, GLFW_RELEASE}) mouseButtonCallback(testsupport::glWindow(), button, action, 0);
}

class GameTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        gameInstance = game.get();
        testing::internal::CaptureStdout();  // the landscape's triangle count
        game->init();
        testing::internal::GetCapturedStdout();
    }
    // The clock wraps like the system's 32-bit one, and stands still unless the test moves it.
    void advance(int32_t ms) { now = static_cast<int32_t>(static_cast<uint32_t>(now) + static_cast<uint32_t>(ms)); }
    // One frame `ms` after the last, with the cursor at (x, y) and only left shift possibly held.
    void frame(int32_t ms, float x = 0.0f, float y = 0.0f, bool shift = false) {
        advance(ms);
        std::vector<int> keys(kPlayerKeyCount, 0);
        keys[kKeyLeftShift] = shift ? 1 : 0;
        game->update(x, y, keys);
    }
    // The height of the landscape below (x, top, z), looking through everything else.
    float groundAt(float x, float z, float top = 150.0f) {
        const physics::RayHit ground =
            physics::closestHit(game->dynamicsWorld, btVector3(x, top, z), btVector3(x, -10, z), nullptr,
                                [](const SceneObject* owner) { return owner && owner->name == tags::kTerrain; });
        EXPECT_TRUE(ground.hit && ground.owner == game->terrain.get());
        return static_cast<float>(ground.point.y());
    }
    // The player on the ground mid-map, and every body of the world in the physics world once.
    void expectANewWorld() {
        EXPECT_NEAR(glm::length(game->player->position - glm::vec3(400, groundAt(400, 400), 400)), 0.0f, 1e-3f);
        size_t bodies = 3 + game->enemyManager->rabbits.size() + game->enemyManager->flyingRabbits.size() +
                        game->itemManager->items.size() + game->itemManager->fountainBodies.size();
        const auto& inWorld = game->dynamicsWorld->getCollisionObjectArray();
        for (int i = 0; i < inWorld.size(); ++i, --bodies) EXPECT_NE(inWorld[i]->getUserPointer(), nullptr);
        EXPECT_EQ(bodies, 0u);
    }
    // Where everything of a freshly built world stands: the landscape's size, the diamonds and enemies.
    std::vector<glm::vec3> layout() const {
        std::vector<glm::vec3> spots{glm::vec3(static_cast<float>(game->terrain->mesh->vertexCount))};
        for (const auto& item : game->itemManager->items) spots.push_back(item->position);
        for (const auto& rabbit : game->enemyManager->rabbits) spots.push_back(rabbit->position);
        for (const auto& flyer : game->enemyManager->flyingRabbits) spots.push_back(flyer->position);
        return spots;
    }
    std::string rows() const {
        std::string text;
        for (const HudText& row : game->hudTexts) text += row.text + "|";
        return text;
    }

    testsupport::ScopedGlobals globals;
    int32_t now = std::numeric_limits<int32_t>::max() - 29;  // the clock is about to wrap
    int seeds = 0;                                           // how often the game asked for a world seed
    std::unique_ptr<Game> game = std::make_unique<Game>(
        static_cast<float>(W) / H, W, H, [this] { return now; },
        [this] {
            ++seeds;
            return 777u;
        });
};

}  // namespace

TEST_F(GameTest, TheRoundRunsOnTheClockAndRStartsANewWorld) {
    expectANewWorld();
    EXPECT_EQ(seeds, 1) << "one seed makes the whole world";
    const std::vector<glm::vec3> firstWorld = layout();
    // From the end of init; no time keeps the last rate; a clock set back lets no time pass.
    const struct {
        int32_t ms;
        int fps;
        int32_t timeLeft;
    } frames[] = {{20, 50, 59980}, {0, 50, 59980}, {15, 67, 59965}, {-3600000, 67, 59965}, {20, 50, 59945}};
    for (const auto& f : frames) {
        frame(f.ms);
        EXPECT_EQ(game->fps, f.fps) << f.ms;
        EXPECT_EQ(game->gameState->timeLeft, f.timeLeft) << f.ms;
    }
    const std::string score = game->gameState->getScoreText();  // a diamond at the start may be taken
    EXPECT_EQ(rows(), "01:00|Health: 100%|" + score + "|||");
    tap(GLFW_KEY_F4);
    frame(20);
    EXPECT_EQ(game->hudTexts[3].text, "50fps");
    EXPECT_EQ(game->hudTexts[4].text, "Culled objects: " + std::to_string(culledObjectCount));
    tap(GLFW_KEY_F8);
    frame(20);
    EXPECT_EQ(game->hudTexts[4].text, "Culled objects: disabled");

    // The left button fires the player's shot at the aim point: 60 units a second, for a second.
    const glm::vec3 muzzle = game->player->getProjectileSpawnPoint();
    const size_t flying = Projectile::projectiles.size();  // nearby rabbits may have fired too
    auto sounds = std::make_shared<testsupport::HeardSounds>();
    game->setSounds(sounds);
    click(GLFW_MOUSE_BUTTON_LEFT);
    EXPECT_EQ(sounds->count("player shot"), 1);
    ASSERT_EQ(Projectile::projectiles.size(), flying + 1);
    const Projectile& fired = *Projectile::projectiles.back();
    const std::weak_ptr<Projectile> shot = Projectile::projectiles.back();
    const btVector3& v = fired.rigidBody->getLinearVelocity();
    EXPECT_EQ(fired.name, "player_projectile");
    EXPECT_EQ(fired.lifetime, 1.0f);
    EXPECT_EQ(fired.position, muzzle);
    EXPECT_NEAR(v.length(), 60.0f, 1e-3f);
    EXPECT_NEAR(glm::dot(glm::normalize(glm::vec3(v.x(), v.y(), v.z())), glm::normalize(game->aimPoint - muzzle)), 1.0f,
                1e-5f);

    game->gameState->score = 12;
    game->gameState->health = 0.3f;
    frame(70000);  // a very long frame ends the round
    EXPECT_EQ(game->gameState->timeLeft, 0);
    EXPECT_EQ(sounds->count("time up"), 1);
    // The listener follows the camera.
    EXPECT_LT(glm::length(glm::vec3(sounds->camera[3]) - game->camera->position), 1e-3f);
    EXPECT_LT(glm::length(-glm::vec3(sounds->camera[2]) - forwardOf(*game->camera)), 1e-3f);
    EXPECT_EQ(game->hudTexts.size(), 7u);
    const auto oldLandscape = game->terrain->mesh;
    game->player->moveTarget = game->player->position + glm::vec3(0, 20, 0);  // a dash and a jump under way
    game->player->movingToTarget = true;
    game->player->verticalVelocity = 8.0f;
    advance(8000);
    testing::internal::CaptureStdout();  // the new landscape's triangle count
    tap(GLFW_KEY_R);
    testing::internal::GetCapturedStdout();
    EXPECT_NE(game->terrain->mesh, oldLandscape);
    expectANewWorld();
    EXPECT_EQ(sounds->count("new world"), 1);
    EXPECT_EQ(seeds, 2);
    EXPECT_TRUE(layout() == firstWorld) << "the same seed builds the same world";
    EXPECT_TRUE(shot.expired() && Projectile::projectiles.empty()) << "no shot of the old world lives on";
    EXPECT_EQ(game->hudTexts.size(), 5u);
    // The objects are the player and the new diamonds; every mesh of the new world is drawn once.
    EXPECT_EQ(game->objects.size(), 1u + game->itemManager->items.size());
    long meshes = static_cast<long>(game->player->meshes.size() + game->itemManager->items.size() +
                                    game->renderMap.at(static_cast<int>(game->grass->texture)).size());
    for (const auto& rabbit : game->enemyManager->rabbits) meshes += static_cast<long>(rabbit->meshes.size());
    for (const auto& flyer : game->enemyManager->flyingRabbits) meshes += static_cast<long>(flyer->meshes.size());
    for (const auto& batch : game->renderMap) meshes -= static_cast<long>(batch.second.size());
    EXPECT_EQ(meshes, 0);
    frame(20);  // the reset itself is not frame time
    EXPECT_EQ(rows(), "01:00|Health: 100%|Score: 0|50fps|Culled objects: disabled|");
    EXPECT_FALSE(game->player->movingToTarget) << "the old world's dash ended with it";
    EXPECT_NEAR(game->player->position.y, groundAt(400, 400), 0.01f);
}

TEST_F(GameTest, TheMouseLooksAimsAndDashesAndKeysActOncePerPress) {
    frame(0, 0, 100);  // the first frame finds the cursor wherever the pointer was: a start, not a move
    EXPECT_EQ(game->camera->rotation.x, 0.0f);
    frame(0, 0, 200);  // 100 px down: 0.1 rad down; the crosshair moves down by as much
    EXPECT_NEAR(game->camera->rotation.x, -0.1f, 1e-5f);
    EXPECT_EQ(game->lookOffset.y, -100.0f);
    frame(0, 100000, -2000000);  // far up and right: pitch and crosshair stop at their limits
    EXPECT_NEAR(game->camera->rotation.x, 0.8f, 1e-5f);
    EXPECT_EQ(game->crosshair->position, glm::vec3(1.0f, 1.0f, 0.0f));
    EXPECT_EQ(game->player->rotation.y, 0.0f) << "free look turns nothing";
    tap(GLFW_KEY_V);
    EXPECT_EQ(game->lookOffset, glm::vec2(0.0f));
    frame(0, 100000, 2000000);
    EXPECT_NEAR(game->camera->rotation.x, -1.0f, 1e-5f);
    EXPECT_EQ(game->lookOffset.y, -H / 2.0f);

    // Shift held: 100 px right turns the player and the camera behind it 0.5 rad clockwise.
    frame(0, 100100, 2000000, true);
    EXPECT_NEAR(game->player->rotation.y, -0.5f, 1e-5f);
    EXPECT_EQ(game->lookOffset, glm::vec2(0.0f));
    const glm::vec3 look = forwardOf(*game->camera);
    EXPECT_NEAR(glm::dot(glm::normalize(glm::vec3(look.x, 0, look.z)), forwardOf(*game->player)), 1.0f, 1e-4f);
    // Looking steeply down, the aim is the ground straight along the view, under a white crosshair.
    const glm::vec3 eye = game->camera->position;
    const glm::vec3 aim = game->aimPoint;
    EXPECT_EQ(game->crosshair->texture, game->crosshairWhiteTexture);
    EXPECT_GT(glm::dot(glm::normalize(aim - eye), look), 0.9999f);
    EXPECT_NEAR(groundAt(aim.x, aim.z, aim.y + 1.0f), aim.y, 0.01f);
    // The right button dashes there (the aim lowered for the dash's ray to meet the ground; no diamonds).
    for (const auto& item : game->itemManager->items) game->dynamicsWorld->removeRigidBody(item->rigidBody);
    game->aimPoint.y -= 1.0f;
    testing::internal::CaptureStdout();
    click(GLFW_MOUSE_BUTTON_RIGHT);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "terrain\n");
    EXPECT_TRUE(game->player->movingToTarget);
    game->player->movingToTarget = false;
    // At the window's right edge the crosshair aims along the edge of the view.
    const glm::vec3 edge = glm::normalize(game->computeAimPoint(W / 2.0f, 0.0f) - eye);
    EXPECT_NEAR(std::acos(glm::dot(edge, look)), std::atan(std::tan(glm::radians(30.0f)) * W / H), 1e-3f);
    EXPECT_GT(glm::dot(edge, glm::vec3(game->camera->getModelMatrix()[0])), 0.0f);
    const glm::vec3 top = glm::normalize(game->computeAimPoint(0.0f, H / 2.0f) - eye);
    EXPECT_NEAR(std::acos(glm::dot(top, look)), glm::radians(30.0f), 1e-3f) << "and at the top edge along the top";
    // High above the hills looking up, nothing is hit within 200 units: the plain crosshair.
    game->player->setPosition(glm::vec3(400, 150, 400));
    frame(0, 100100, 0);
    EXPECT_NEAR(glm::length(game->aimPoint - game->camera->position), 200.0f, 1e-2f);
    EXPECT_EQ(game->crosshair->texture, game->crosshairTexture);

    // Q freezes the lamp where it is; pressed again, the lamp follows the cat 0.7 above it.
    tap(GLFW_KEY_Q);
    const glm::vec3 lamp = game->lamp->position;
    game->player->setPosition(glm::vec3(420, 150, 400));
    frame(0, 100100, 0);
    EXPECT_EQ(game->lamp->position, lamp);
    tap(GLFW_KEY_Q);
    frame(0, 100100, 0);
    EXPECT_EQ(game->lamp->position, game->player->position + glm::vec3(0, 0.7f, 0));
    GLint mode[2] = {0, 0};
    tap(GLFW_KEY_F1);
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_LINE);
    tap(GLFW_KEY_F1);
    tap(GLFW_KEY_F3);
    EXPECT_FALSE(showHudText);
    tap(GLFW_KEY_ESCAPE);
    EXPECT_TRUE(glfwWindowShouldClose(testsupport::glWindow()));
    glfwSetWindowShouldClose(testsupport::glWindow(), GLFW_FALSE);

    // No health left ends the round: the final score large in the middle, and the rows freeze.
    auto sounds = std::make_shared<testsupport::HeardSounds>();
    game->setSounds(sounds);
    game->gameState->health = 0.0f;
    frame(20);
    const std::string score = game->gameState->getScoreText();
    EXPECT_EQ(rows(), "01:00|Health: 0%|" + score + "|||" + score + "|Press R to start over|");
    EXPECT_EQ(glm::vec2(game->hudTexts[5].x, game->hudTexts[5].scale), glm::vec2(W / 2 - 240, 3));
    EXPECT_EQ(glm::vec2(game->hudTexts[6].y, game->hudTexts[6].scale), glm::vec2(H / 2 - 100, 1.5f));
    game->gameState->score += 7;
    frame(20);
    EXPECT_EQ(game->hudTexts[2].text, score);
    EXPECT_EQ(sounds->count("health gone"), 1) << "once per round";
}

TEST_F(GameTest, WaterPassesMirrorTheCameraTheSkyTurnsAndTheTrailFalls) {
    std::vector<std::pair<glm::vec4, float>> passes;  // clip plane and distance of each scene pass
    std::vector<glm::vec3> eyes, turns;
    const auto forget = [&] {
        passes.clear();
        eyes.clear();
        turns.clear();
    };
    game->onScenePass = [&](const glm::vec4& plane, float distance) {
        passes.emplace_back(plane, distance);
        eyes.push_back(game->camera->position);
        turns.push_back(game->camera->rotation);
    };
    const auto tile = game->waterTiles.front();
    // 6 above the water: the mirror pass looks from 2 below it, as much up; then the camera is back.
    frame(0, 0, 50);
    game->player->setPosition(game->player->position + glm::vec3(0.0f, 10.0f - game->camera->position.y, 0.0f));
    forget();
    frame(0, 0, 50);
    ASSERT_EQ(passes.size(), 3u);
    EXPECT_EQ(passes[0], std::make_pair(glm::vec4(0, 1, 0, -4 + 0.2f), 50.0f));
    EXPECT_EQ(passes[1], std::make_pair(glm::vec4(0, -1, 0, 4 + 0.2f), 50.0f));
    EXPECT_EQ(passes[2], std::make_pair(glm::vec4(0, -1, 0, 10000), 400.0f));
    EXPECT_NEAR(eyes[0].y, -2.0f, 1e-4f);
    EXPECT_EQ(turns[0].x, -turns[2].x);
    EXPECT_EQ(eyes[1], eyes[2]);
    EXPECT_EQ(turns[1], turns[2]);
    EXPECT_EQ(game->camera->position, eyes[2]);

    // Three passes turn the sky thrice, the waves move once; a tile out of view gets passes only unculled.
    const float sky = game->skyBox->rotation, waves = tile->moveFactor;
    frame(100, 0, 50);
    EXPECT_NEAR(game->skyBox->rotation - sky, 3 * 0.1f / 500.0f, 1e-6f);
    EXPECT_NEAR(tile->moveFactor - waves, 0.02f * 0.1f, 1e-6f);
    tile->setPosition(game->camera->position + glm::vec3(0.0f, -10.0f, 3000.0f));
    forget();
    frame(100, 0, 50);
    EXPECT_EQ(passes.size(), 1u);
    cullingEnabled = false;
    forget();
    frame(100, 0, 50);
    EXPECT_EQ(passes.size(), 3u);

    // The trail hangs over the cat and has shed 20 sparkles a second, all falling.
    tile->setPosition(glm::vec3(400.0f, 4.0f, 400.0f));
    for (int i = 0; i < 2; ++i) frame(250, 0, 50);
    EXPECT_EQ(game->playerParticles->position, game->player->position + glm::vec3(0.0f, 0.7f, 0.0f));
    int alive = 0;
    for (const auto& particle : game->playerParticles->particles) {
        alive += particle->alive;
        EXPECT_TRUE(!particle->alive || particle->velocity.y < 0.0f);
    }
    EXPECT_NEAR(alive, 16, 2);
    // Ground rabbits never walk onto the lake (the shore line may lie a hair below the water line).
    for (int i = 0; i < 3; ++i) frame(500, 0, 50);
    for (const auto& rabbit : game->enemyManager->rabbits) {
        if (!rabbit->visible) continue;
        EXPECT_GT(groundAt(rabbit->position.x, rabbit->position.z, rabbit->position.y + 1), 3.9f);
    }
}

// A frame leaves nothing behind: whatever a pass turns on for its own draws it turns off again, a healer
// from the fountain hook that is no liquid is left alone, and spent shots are let go of, so the lists
// do not grow however long the player waits.
TEST_F(GameTest, WholeFramesLeaveNoGlStateAndNoSpentShotsBehind) {
    auto stranger = std::make_shared<Healer>();
    stranger->spawnRate = 10.0f;
    stranger->setPosition(game->camera->position + 5.0f * forwardOf(*game->camera));
    game->itemManager->fountains.push_back(stranger);
    game->itemManager->fountainBodies.push_back(nullptr);
    for (const auto& rabbit : game->enemyManager->rabbits) rabbit->setVisible(false);  // they would fire too
    for (const auto& flyer : game->enemyManager->flyingRabbits) flyer->setVisible(false);
    const auto nextFrame = [&] {
        frame(300);
        GLint cullFace = 0, framebuffer = -1, viewport[4] = {};
        GLboolean depthWrites = GL_FALSE;
        glGetIntegerv(GL_CULL_FACE_MODE, &cullFace);
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
        glGetIntegerv(GL_VIEWPORT, viewport);
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_FALSE(glIsEnabled(GL_BLEND) || glIsEnabled(GL_CLIP_DISTANCE0) || glIsEnabled(GL_DEPTH_CLAMP));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_CULL_FACE) && depthWrites);
        EXPECT_EQ(glm::ivec4(cullFace, framebuffer, viewport[2], viewport[3]), glm::ivec4(GL_BACK, 0, W, H));
    };
    const auto batched = [&] {
        size_t meshes = 0;
        for (const auto& batch : game->renderMap) meshes += batch.second.size();
        return meshes;
    };
    nextFrame();
    nextFrame();
    const size_t objects = game->objects.size(), meshes = batched();
    const int bodies = game->dynamicsWorld->getNumCollisionObjects();
    // A burst straight up into the sky from above the cat, so the shots hit nothing and expire.
    for (int i = 0; i < 10; ++i) {
        game->spawnProjectile(glm::vec3(0, 6, 0), game->player->position + glm::vec3(i, 5, 0), 1.0f,
                              tags::kPlayerProjectile);
    }
    nextFrame();
    EXPECT_EQ(game->objects.size(), objects + 10);
    for (int i = 0; i < 3; ++i) nextFrame();
    EXPECT_EQ(game->objects.size(), objects);
    EXPECT_EQ(batched(), meshes);
    EXPECT_EQ(game->dynamicsWorld->getNumCollisionObjects(), bodies);
    EXPECT_TRUE(Projectile::projectiles.empty());
}

// Six clusters scattered from one seed land on six spots of their own, whatever the seed, and the same
// seed scatters the same world again.
TEST(GameScatterTest, ClustersLandApartAndOneSeedScattersTheSameWorld) {
    testsupport::PhysicsWorld world;
    world.addGround(tags::kTerrain, 0.0f);
    const auto model = [](int parts) {
        std::vector<std::shared_ptr<TexturedMesh>> meshes;
        for (int i = 0; i < parts; ++i) meshes.push_back(std::make_shared<TexturedMesh>());
        return meshes;
    };
    const auto material = std::make_shared<Material>(1);
    const auto scatter = [&](unsigned seed) {
        EnemyManager enemies(model(2), model(3), material, material, material);
        ItemManager items(std::make_shared<TexturedMesh>(), 2);
        std::vector<glm::vec3> spots;  // the fountains' spots, then every rabbit's
        items.makeFountain = [&spots](const glm::vec3& at) {
            EXPECT_LT(spots.size(), 7u);
            spots.push_back(at);
            return ItemManager::SpawnedFountain{};
        };
        std::srand(seed);
        WorldSpawner::scatter(items, enemies, world.get(), nullptr, Game::kPlayerStart);
        for (const auto& rabbit : enemies.rabbits) spots.push_back(rabbit->position);
        enemies.clear(world.get());
        items.clear(world.get());
        return spots;
    };
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const std::vector<glm::vec3> spots = scatter(seed);
        ASSERT_GE(spots.size(), 7u);
        EXPECT_EQ(glm::vec2(spots[6].x, spots[6].z), glm::vec2(401, 401)) << "six clusters, then the player's";
        for (int a = 0; a < 6; ++a)
            for (int b = a + 1; b < 6; ++b) EXPECT_GT(glm::distance(spots[a], spots[b]), 1.0f) << seed;
    }
    EXPECT_EQ(scatter(7), scatter(7));
}
