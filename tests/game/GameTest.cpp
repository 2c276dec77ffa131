#include "game/Game.h"

#include "effects/GuiObject.h"
#include "entities/EnemyManager.h"
#include "entities/FlyingRabbit.h"
#include "entities/Item.h"
#include "entities/ItemManager.h"
#include "entities/Player.h"
#include "entities/Projectile.h"
#include "app/Globals.h"
#include "effects/Hud.h"
#include "entities/Rabbit.h"
#include "game/GameStateManager.h"
#include "render/Camera.h"
#include "support/GlContext.h"
#include "support/HeardSounds.h"
#include "terrain/AdvancedTerrain.h"
#include "terrain/GrassScatter.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

// Whole frames of a small game (320 × 240) on a fixed landscape, with a clock the test sets. A game
// takes seconds to build on llvmpipe (landscape, textures, 4096² shadow map) and a frame a few tenths
// of one, so there are few tests, each builds one game and runs only a handful of frames.

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;
constexpr unsigned int SEED = 777u;
constexpr int32_t INT32_MAX_MS = std::numeric_limits<int32_t>::max();
constexpr int32_t INT32_MIN_MS = std::numeric_limits<int32_t>::min();

// Where a vertical ray through `x, z` meets the world, and what it hit there.
struct Drop {
    bool hit = false;
    float y = 0.0f;
    const btCollisionObject* object = nullptr;
};

// Closest hit that looks through one body (the player's, which stands on the spot being probed) and
// through the diamonds and fountains, which hang over the ground around the start point.
struct ClosestHitIgnoring : btCollisionWorld::ClosestRayResultCallback {
    ClosestHitIgnoring(const btVector3& from, const btVector3& to, const btCollisionObject* ignored)
        : ClosestRayResultCallback(from, to), ignored(ignored) {}
    bool needsCollision(btBroadphaseProxy* proxy) const override {
        const auto* body = static_cast<const btCollisionObject*>(proxy->m_clientObject);
        const auto* owner = static_cast<const SceneObject*>(body->getUserPointer());
        if (owner && (owner->name == "item" || owner->name == "fountain")) return false;
        return body != ignored && ClosestRayResultCallback::needsCollision(proxy);
    }
    const btCollisionObject* ignored;
};

Drop dropAt(btDynamicsWorld* world, float x, float z, const btCollisionObject* ignored = nullptr, float top = 150.0f,
            float bottom = -10.0f) {
    const btVector3 from(x, top, z), to(x, bottom, z);
    ClosestHitIgnoring hit(from, to, ignored);
    world->rayTest(from, to, hit);
    Drop drop;
    drop.hit = hit.hasHit();
    if (drop.hit) {
        drop.y = static_cast<float>(hit.m_hitPointWorld.y());
        drop.object = hit.m_collisionObject;
    }
    return drop;
}

// The world holds the player, the terrain, the water, every enemy, every diamond and every fountain.
int expectedBodies(const Game& game) {
    int fountains = 0;
    for (const btRigidBody* body : game.itemManager->fountainBodies) fountains += body ? 1 : 0;
    return 3 + fountains +
           static_cast<int>(game.enemyManager->rabbits.size() + game.enemyManager->flyingRabbits.size() +
                            game.itemManager->items.size());
}

// Meshes drawn: the player's, every enemy's, one per diamond and the grass tufts.
size_t expectedBatched(const Game& game) {
    const auto grass = game.renderMap.find(static_cast<int>(game.grass->texture));
    size_t meshes = game.player->meshes.size() + game.itemManager->items.size() +
                    (grass == game.renderMap.end() ? 0 : grass->second.size());
    for (const auto& rabbit : game.enemyManager->rabbits) meshes += rabbit->meshes.size();
    for (const auto& flyer : game.enemyManager->flyingRabbits) meshes += flyer->meshes.size();
    return meshes;
}

int bodiesOf(btDynamicsWorld* world, const btCollisionObject* body) {
    int count = 0;
    const auto& objects = world->getCollisionObjectArray();
    for (int i = 0; i < objects.size(); ++i) count += objects[i] == body ? 1 : 0;
    return count;
}

glm::vec3 forwardOf(const Camera& camera) { return glm::vec3(camera.getModelMatrix() * glm::vec4(0, 0, -1, 0)); }

class GameTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        game = std::make_unique<Game>(
            static_cast<float>(WIDTH) / HEIGHT, WIDTH, HEIGHT, [this] { return now; }, [] { return SEED; });
    }
    void TearDown() override { game.reset(); }

    // Builds the world with the clock standing at `at`.
    void init(int32_t at) {
        now = at;
        testing::internal::CaptureStdout();  // the landscape's triangle count
        game->init();
        testing::internal::GetCapturedStdout();
    }
    // One frame with the cursor at (x, y) and only left shift possibly held; the clock stands still
    // unless the test moves it, so nothing falls or walks between frames.
    void frame(float x, float y, bool shift = false) {
        std::vector<int> keys(6, 0);
        keys[5] = shift ? 1 : 0;
        game->update(x, y, keys);
    }
    float pitch() const { return game->camera->rotation.x; }
    float cameraDistance() const { return glm::length(game->camera->position - game->player->position); }

    int32_t now = 0;
    std::unique_ptr<Game> game;
};

}  // namespace

// A round from the first frame to its end and R: the clock, the timer, and what a reset renews. One
// test, because a game is expensive to build.
TEST_F(GameTest, ClockRunsTheRoundAndResetStartsANewOne) {
    init(INT32_MAX_MS - 29);  // the clock is about to wrap past INT32_MAX
    btDynamicsWorld* world = game->dynamicsWorld;
    const btCollisionObject* playerBody = game->player->rigidBody;
    // init puts the player on the ground in the middle of the map.
    Drop middle = dropAt(world, 400, 400, playerBody);
    ASSERT_TRUE(middle.hit);
    EXPECT_EQ(middle.object, game->terrain->rigidBody);
    EXPECT_NEAR(game->player->position.x, 400.0f, 1e-3f);
    EXPECT_NEAR(game->player->position.z, 400.0f, 1e-3f);
    EXPECT_NEAR(game->player->position.y, middle.y, 1e-3f);
    EXPECT_EQ(world->getNumCollisionObjects(), expectedBodies(*game));
    EXPECT_EQ(bodiesOf(world, game->terrain->rigidBody), 1);

    now = INT32_MAX_MS - 9;  // the first frame is measured from the end of init
    frame(0, 0);
    EXPECT_EQ(game->nowMs, INT32_MAX_MS - 9);
    EXPECT_EQ(game->fps, 50);
    EXPECT_EQ(game->gameState->timeLeft, 59980);

    frame(0, 0);  // no time passed: the last frame rate stays
    EXPECT_EQ(game->fps, 50);
    EXPECT_EQ(game->gameState->timeLeft, 59980);

    now = INT32_MIN_MS + 5;  // 15 ms later, across the wrap; 66.7 frames a second round to 67
    frame(0, 0);
    EXPECT_EQ(game->fps, 67);
    EXPECT_EQ(game->gameState->timeLeft, 59965);

    now -= 3600000;  // the system clock set back an hour: no time passes, nothing runs backwards
    frame(0, 0);
    EXPECT_EQ(game->fps, 67);
    EXPECT_EQ(game->gameState->timeLeft, 59965);
    now += 20;  // and the next frame is measured from the new reading
    frame(0, 0);
    EXPECT_EQ(game->fps, 50);
    EXPECT_EQ(game->gameState->timeLeft, 59945);

    // The player steps just beside the start point, and a very long frame ends the round; the frame
    // brings the player's body along, so the body stands over the start point too.
    game->player->setPosition(glm::vec3(400.3f, middle.y, 400.2f));
    auto sounds = std::make_shared<testsupport::HeardSounds>();
    game->setSounds(sounds);
    now += 70000;
    frame(0, 0);
    EXPECT_EQ(game->gameState->timeLeft, 0);  // not below
    EXPECT_EQ(game->fps, 0);
    EXPECT_TRUE(game->gameOver);
    EXPECT_EQ(sounds->count("time up"), 1);
    game->gameState->health = 0.3f;
    game->gameState->score = 12;
    const auto oldMesh = game->terrain->mesh;

    now += 8000;
    testing::internal::CaptureStdout();  // the new landscape's triangle count
    game->reset();
    testing::internal::GetCapturedStdout();

    EXPECT_NE(game->terrain->mesh, oldMesh);
    EXPECT_EQ(world->getNumCollisionObjects(), expectedBodies(*game));
    EXPECT_EQ(bodiesOf(world, game->terrain->rigidBody), 1);
    middle = dropAt(world, 400, 400, playerBody);
    ASSERT_TRUE(middle.hit);
    EXPECT_EQ(middle.object, game->terrain->rigidBody);
    const auto* tag = static_cast<const SceneObject*>(middle.object->getUserPointer());
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->name, "terrain");

    // Back at the start, on the ground (not on top of its own body).
    EXPECT_NEAR(game->player->position.x, 400.0f, 1e-3f);
    EXPECT_NEAR(game->player->position.z, 400.0f, 1e-3f);
    EXPECT_NEAR(game->player->position.y, middle.y, 1e-3f);
    EXPECT_EQ(game->gameState->timeLeft, 60000);
    EXPECT_FLOAT_EQ(game->gameState->health, 1.0f);
    EXPECT_EQ(game->gameState->score, 0);
    EXPECT_FALSE(game->gameOver);
    // The objects are the player and the new diamonds; every mesh of the new world is drawn once.
    ASSERT_EQ(game->objects.size(), 1u + game->itemManager->items.size());
    EXPECT_EQ(game->objects.front(), game->player);
    size_t batched = 0;
    for (const auto& batch : game->renderMap) batched += batch.second.size();
    EXPECT_EQ(batched, expectedBatched(*game));

    now += 20;  // the reset itself is not frame time
    frame(0, 0);
    EXPECT_EQ(game->fps, 50);
    EXPECT_EQ(game->gameState->timeLeft, 59980);
    EXPECT_FALSE(game->gameOver);
}

TEST_F(GameTest, MouseLookClampsPitchAndFreeLookAndShiftTurnsThePlayer) {
    init(1000);
    const float orbit = cameraDistance();
    ASSERT_NEAR(orbit, std::sqrt(29.0f), 1e-3f);  // (0, 2, 5) behind the player
    ASSERT_NEAR(pitch(), 0.0f, 1e-6f);

    frame(0, 100);  // 100 px down: 0.1 rad down; the crosshair moves down by as much
    EXPECT_NEAR(pitch(), -0.1f, 1e-5f);
    EXPECT_FLOAT_EQ(game->lookOffset.y, -100.0f);

    frame(0, 100000);  // far down: pitch and free look stop at their limits
    EXPECT_NEAR(pitch(), -1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(game->lookOffset.y, -HEIGHT / 2.0f);

    frame(0, -900000);  // far up
    EXPECT_NEAR(pitch(), 0.8f, 1e-5f);
    EXPECT_FLOAT_EQ(game->lookOffset.y, HEIGHT / 2.0f);

    frame(100000, -2000000);  // further up and far right: the crosshair stops at the window's corner
    EXPECT_NEAR(pitch(), 0.8f, 1e-5f);
    EXPECT_NEAR(cameraDistance(), orbit, 1e-3f);  // the camera orbits the player
    EXPECT_FLOAT_EQ(game->lookOffset.x, WIDTH / 2.0f);
    EXPECT_FLOAT_EQ(game->lookOffset.y, HEIGHT / 2.0f);
    EXPECT_NEAR(game->crosshair->position.x, 1.0f, 1e-6f);
    EXPECT_NEAR(game->crosshair->position.y, 1.0f, 1e-6f);
    frame(-100000, -2000000);
    EXPECT_FLOAT_EQ(game->lookOffset.x, -WIDTH / 2.0f);
    const float yaw = game->player->rotation.y;
    const float cameraYaw = game->camera->rotation.y;
    EXPECT_FLOAT_EQ(yaw, 0.0f);  // free look turns nothing

    frame(-99900, -2000000, true);  // shift held: 100 px right turns the player 0.5 rad clockwise
    EXPECT_NEAR(game->player->rotation.y, yaw - 0.5f, 1e-5f);
    EXPECT_NEAR(game->camera->rotation.y, cameraYaw - 0.5f, 1e-5f);
    EXPECT_EQ(game->lookOffset, glm::vec2(0.0f));
    EXPECT_EQ(game->crosshair->position, glm::vec3(0.0f));
    EXPECT_NEAR(pitch(), 0.8f, 1e-5f);
    EXPECT_NEAR(cameraDistance(), orbit, 1e-3f);
    // The camera stays behind the player: it looks the way the player faces, pitched.
    const glm::vec3 playerForward = glm::vec3(game->player->getRotationMatrix() * glm::vec4(0, 0, -1, 0));
    const glm::vec3 cameraForward = forwardOf(*game->camera);
    EXPECT_NEAR(glm::dot(glm::normalize(glm::vec3(cameraForward.x, 0, cameraForward.z)), playerForward), 1.0f, 1e-4f);
}

TEST_F(GameTest, AimPointAndCrosshairFollowWhatIsUnderTheCrosshair) {
    init(1000);
    btDynamicsWorld* world = game->dynamicsWorld;
    ASSERT_NE(game->crosshairTexture, 0u);
    ASSERT_NE(game->crosshairWhiteTexture, 0u);
    ASSERT_NE(game->crosshairTexture, game->crosshairWhiteTexture);

    // Looking steeply down at the ground in front of the player (free look back at the centre).
    frame(0, 100000);
    frame(0, 100000, true);
    ASSERT_NEAR(pitch(), -1.0f, 1e-5f);
    const glm::vec3 eye = game->camera->position;
    const glm::vec3 ground = game->aimPoint;
    EXPECT_EQ(game->crosshair->texture, game->crosshairWhiteTexture);
    EXPECT_LT(glm::length(ground - eye), 30.0f);
    EXPECT_GT(glm::dot(glm::normalize(ground - eye), forwardOf(*game->camera)), 0.9999f);
    const Drop onGround = dropAt(world, ground.x, ground.z, nullptr, ground.y + 0.5f, ground.y - 0.5f);
    ASSERT_TRUE(onGround.hit);
    EXPECT_EQ(onGround.object, game->terrain->rigidBody);
    EXPECT_NEAR(onGround.y, ground.y, 0.01f);

    // The crosshair at the window's right edge aims along the edge of the view.
    const glm::vec3 edge = game->computeAimPoint(WIDTH / 2.0f, 0.0f);
    const glm::vec3 right = glm::vec3(game->camera->getModelMatrix() * glm::vec4(1, 0, 0, 0));
    const glm::vec3 edgeDirection = glm::normalize(edge - eye);
    const float halfWidthAngle = std::atan(std::tan(glm::radians(30.0f)) * WIDTH / HEIGHT);
    EXPECT_NEAR(std::acos(glm::dot(edgeDirection, forwardOf(*game->camera))), halfWidthAngle, 1e-3f);
    EXPECT_GT(glm::dot(edgeDirection, right), 0.0f);

    // Something other than the ground in the way: its point, and the plain crosshair.
    SceneObject rabbit;
    rabbit.name = "rabbit";
    btSphereShape shape(0.5);
    const glm::vec3 centre = eye + 3.0f * forwardOf(*game->camera);
    btDefaultMotionState motion(btTransform(btQuaternion::getIdentity(), btVector3(centre.x, centre.y, centre.z)));
    btRigidBody body(btRigidBody::btRigidBodyConstructionInfo(0.0, &motion, &shape));
    body.setUserPointer(&rabbit);
    world->addRigidBody(&body);
    const glm::vec3 onRabbit = game->computeAimPoint(0.0f, 0.0f);
    world->removeRigidBody(&body);
    EXPECT_EQ(game->crosshair->texture, game->crosshairTexture);
    EXPECT_NEAR(glm::length(onRabbit - eye), 2.5f, 1e-3f);

    // Looking up into the sky from high above the hills (the clock stands still, so the player does
    // not fall), crosshair at the top edge: nothing is hit within 200 units.
    game->player->setPosition(glm::vec3(400, 150, 400));
    frame(0, -2000000);
    ASSERT_NEAR(pitch(), 0.8f, 1e-5f);
    ASSERT_FLOAT_EQ(game->lookOffset.y, HEIGHT / 2.0f);
    EXPECT_EQ(game->crosshair->texture, game->crosshairTexture);
    EXPECT_NEAR(glm::length(game->aimPoint - game->camera->position), 200.0f, 1e-2f);
    EXPECT_GT(game->aimPoint.y, game->camera->position.y + 150.0f);
}

// The HUD rows over a round: the diagnostics rows behind F4 and F8, the game-over rows appended once,
// and a reset with shots in flight that leaves no body of the old world behind.
TEST_F(GameTest, HudRowsGameOverAndAResetWithShotsInFlight) {
    struct Switches {  // the process-wide switches, put back whatever happens
        ~Switches() {
            showDiagnostics = false;
            cullingEnabled = true;
        }
    } restore;
    init(1000);
    now += 20;
    frame(0, 0);
    ASSERT_EQ(game->hudTexts.size(), 5u);
    EXPECT_EQ(game->hudTexts[0].text, "01:00");
    EXPECT_EQ(game->hudTexts[1].text, "Health: 100%");
    EXPECT_EQ(game->hudTexts[2].text, "Score: 0");
    EXPECT_EQ(game->hudTexts[3].text, "");
    EXPECT_EQ(game->hudTexts[4].text, "");
    now += 20;
    frame(0, 0);  // the first frame still drew the counter row the game started with

    showDiagnostics = true;
    const int quietVertices = game->hud->vertexCount();
    now += 20;
    frame(0, 0);
    EXPECT_EQ(game->hudTexts[3].text, "50fps");
    EXPECT_EQ(game->hudTexts[4].text, "Culled objects: " + std::to_string(culledObjectCount));
    // The culled row was filled after the HUD took its copy: this frame's text shows the frame rate
    // but not yet the counter.
    const int withFps = game->hud->vertexCount();
    EXPECT_GT(withFps, quietVertices);
    now += 20;
    frame(0, 0);
    EXPECT_GT(game->hud->vertexCount(), withFps);
    cullingEnabled = false;
    now += 20;
    frame(0, 0);
    EXPECT_EQ(game->hudTexts[4].text, "Culled objects: disabled");

    // Shots in flight, then the end of the round; the sound hears of both, and follows the camera.
    auto sounds = std::make_shared<testsupport::HeardSounds>();
    game->setSounds(sounds);
    for (int i = 0; i < 3; ++i) {
        game->spawnProjectile(glm::vec3(0, 0, -6), game->player->getProjectileSpawnPoint() + glm::vec3(i, 0, 0), 10.0f,
                              "player_projectile");
    }
    game->gameState->health = 0.0f;
    now += 20;
    frame(0, 0);
    EXPECT_TRUE(game->gameOver);
    EXPECT_EQ(sounds->count("player shot"), 3);
    EXPECT_EQ(sounds->count("health gone"), 1);
    EXPECT_LT(glm::length(glm::vec3(sounds->camera[3]) - game->camera->position), 1e-3f);
    EXPECT_LT(glm::length(-glm::vec3(sounds->camera[2]) - forwardOf(*game->camera)), 1e-3f);
    ASSERT_EQ(game->hudTexts.size(), 7u);
    // A diamond next to the start may have been picked up already: the score is whatever it was.
    const std::string finalScore = game->gameState->getScoreText();
    EXPECT_EQ(game->hudTexts[5].text, finalScore);
    EXPECT_FLOAT_EQ(game->hudTexts[5].scale, 3.0f);
    EXPECT_FLOAT_EQ(game->hudTexts[5].x, static_cast<float>(WIDTH / 2 - 240));
    EXPECT_EQ(game->hudTexts[6].text, "Press R to start over");
    EXPECT_FLOAT_EQ(game->hudTexts[6].y, static_cast<float>(HEIGHT / 2 - 100));
    EXPECT_EQ(game->hudTexts[1].text, "Health: 0%");
    game->gameState->score += 7;  // rows freeze once the round is over
    now += 20;
    frame(0, 0);
    EXPECT_EQ(game->hudTexts.size(), 7u);
    EXPECT_EQ(game->hudTexts[2].text, finalScore);

    std::vector<std::weak_ptr<Projectile>> shots(Projectile::projectiles.begin(), Projectile::projectiles.end());
    ASSERT_GE(shots.size(), 3u);  // ours, and any a rabbit nearby fired
    testing::internal::CaptureStdout();
    game->reset();
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(game->gameOver);
    EXPECT_EQ(sounds->count("health gone"), 1);  // once per round
    EXPECT_EQ(sounds->count("new world"), 1);
    EXPECT_EQ(game->hudTexts.size(), 5u);
    EXPECT_TRUE(Projectile::projectiles.empty());
    for (const auto& shot : shots) EXPECT_TRUE(shot.expired()) << "a shot of the old world is still alive";
    EXPECT_EQ(game->dynamicsWorld->getNumCollisionObjects(), expectedBodies(*game));
    const auto& bodies = game->dynamicsWorld->getCollisionObjectArray();
    for (int i = 0; i < bodies.size(); ++i) EXPECT_NE(bodies[i]->getUserPointer(), nullptr);
    now += 20;
    frame(0, 0);  // the world steps with nothing of the old one left in it
    EXPECT_EQ(game->hudTexts[0].text, "01:00");
}
