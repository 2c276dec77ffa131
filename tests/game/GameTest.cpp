#include "game/Game.h"

#include "app/Callbacks.h"
#include "menu/Menus.h"
#include "menu/Settings.h"
#include "effects/GuiObject.h"
#include "effects/ParticleSystem.h"
#include "effects/SkyBox.h"
#include "effects/WaterTile.h"
#include "entities/EnemyManager.h"
#include "entities/ItemManager.h"
#include "entities/Player.h"
#include "entities/ShotList.h"
#include "fluid/Liquid.h"
#include "physics/Bodies.h"
#include "physics/RayQueries.h"
#include "render/Camera.h"
#include "render/PointLight.h"
#include "render/TexturedMesh.h"
#include "scene/ObjectTags.h"
#include "support/HeardSounds.h"
#include "support/TestGame.h"
#include "terrain/AdvancedTerrain.h"
#include "terrain/MarchingCubesHandler.h"
#include "view/WorldView.h"

#include <GLFW/glfw3.h>
#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

glm::vec3 forwardOf(const SceneObject& object) { return glm::vec3(object.getModelMatrix() * glm::vec4(0, 0, -1, 0)); }

void takeOut(GameObject& object, World& world) {
    object.setVisible(false);
    physics::removeFromWorld(object.rigidBody, world.physics());
}

class GameTest : public testsupport::TestGame {
protected:
    void SetUp() override {
        build(setup());
        target.game = game.get();
        target.settings = &settings;
        glfwSetWindowUserPointer(testsupport::glWindow(), &target);
        game->setSounds(sounds);
    }
    void TearDown() override { glfwSetWindowUserPointer(testsupport::glWindow(), nullptr); }
    const World& world() const { return game->world(); }
    // A key going down, auto-repeating and coming up: only the press acts.
    void tap(int key) {
        for (int action : {GLFW_PRESS, GLFW_REPEAT, GLFW_RELEASE})
            keyCallback(testsupport::glWindow(), key, 0, action, 0);
    }
    void click(int button) {
        for (int action : {GLFW_PRESS, GLFW_RELEASE}) mouseButtonCallback(testsupport::glWindow(), button, action, 0);
    }
    // The height of the landscape below (x, top, z), looking through everything else.
    float groundAt(float x, float z, float top = 150.0f) const {
        const physics::RayHit ground =
            physics::closestHit(world().physics(), btVector3(x, top, z), btVector3(x, -10, z), nullptr,
                                [](const SceneObject* owner) { return owner && owner->name == tags::kTerrain; });
        EXPECT_TRUE(ground.hit);
        return static_cast<float>(ground.point.y());
    }
    // Where everything of a freshly built world stands: the landscape's size, the diamonds and enemies.
    std::vector<glm::vec3> layout() const {
        std::vector<glm::vec3> spots{glm::vec3(static_cast<float>(world().terrain()->mesh->vertexCount))};
        for (const auto& item : world().items()->items) spots.push_back(item->position);
        for (const auto& rabbit : world().enemies()->rabbits) spots.push_back(rabbit->position);
        for (const auto& flyer : world().enemies()->flyingRabbits) spots.push_back(flyer->position);
        return spots;
    }

    Settings settings;
    CallbackTarget target;
    std::shared_ptr<testsupport::HeardSounds> sounds = std::make_shared<testsupport::HeardSounds>();
};

TEST_F(GameTest, TheRoundRunsInTicksOfItsOwnAndRStartsTheSameWorldFromTheSameSeed) {
    const std::vector<glm::vec3> firstWorld = layout();
    EXPECT_NEAR(glm::length(world().player()->position - glm::vec3(400, groundAt(400, 400), 400)), 0.0f, 1e-3f);
    // Frames run the ticks their time allows, from the one after the first picture on; a stall of 70 s
    // runs five and costs the round 83 ms.
    const struct {
        double ms;
        uint64_t ticks;
        int fps;
    } frames[] = {{0, 0, 0}, {20, 0, 50}, {20, 1, 50}, {20, 2, 50}, {5, 2, 200}, {70000, 7, 0}};
    for (const auto& f : frames) {
        frame(f.ms);
        EXPECT_EQ(world().ticks(), f.ticks) << f.ms;
        EXPECT_EQ(game->fps(), f.fps) << f.ms;
    }
    EXPECT_EQ(world().round().timeLeft, 60000 - 7 * 1000 / 60);
    const std::string score = world().round().getScoreText();  // a diamond at the start may be taken
    EXPECT_EQ(rows(), "01:00|Health: 100%|" + score + "|||");
    tap(GLFW_KEY_F4);
    frame(20);
    EXPECT_EQ(game->hudRows().rows()[3].text, "50fps");
    EXPECT_EQ(game->hudRows().rows()[4].text, "Culled objects: " + std::to_string(game->view().culledCount()));
    tap(GLFW_KEY_F8);
    frame(20);
    EXPECT_EQ(game->hudRows().rows()[4].text, "Culled objects: disabled");

    // The left button fires at the next tick: at the aim point, 60 units a second, for a second.
    click(GLFW_MOUSE_BUTTON_LEFT);
    EXPECT_EQ(sounds->count("player shot"), 0) << "nothing happens between ticks";
    frame(17);
    ASSERT_EQ(sounds->count("player shot"), 1);
    const Projectile* fired = nullptr;
    for (const auto& shot : world().shots().shots()) {
        if (shot->name == tags::kPlayerProjectile) fired = shot.get();
    }
    ASSERT_TRUE(fired);
    const btVector3& v = fired->rigidBody->getLinearVelocity();
    EXPECT_NEAR(v.length(), 60.0f, 1e-3f);
    EXPECT_NEAR(glm::dot(glm::normalize(glm::vec3(v.x(), v.y(), v.z())),
                         glm::normalize(world().lastAimPoint() - fired->origin)),
                1.0f, 1e-5f);

    // The time runs out in a tick; a dash and a fall under way end with the world; R makes the same world.
    game->stage([](World& w) {
        w.runRoundClockTo(1);
        w.playerForStaging().moveTarget = w.player()->position + glm::vec3(0, 20, 0);
        w.playerForStaging().movingToTarget = true;
        w.playerForStaging().verticalVelocity = 8.0f;
    });
    frame(17);
    EXPECT_TRUE(game->gameOver());
    EXPECT_EQ(sounds->count("time up"), 1);
    EXPECT_EQ(game->hudRows().rows()[5].text, "Time's up");
    EXPECT_FALSE(game->overlayShapes().empty()) << "the panel's backdrop";
    EXPECT_LT(glm::length(glm::vec3(sounds->camera[3]) - game->view().camera().position), 1e-3f) << "listener";
    const auto oldLandscape = world().terrain()->mesh;
    bool slowPicture = true;  // the next picture takes 300 ms to draw
    game->onScenePass([&](const glm::vec4&, float) {
        if (slowPicture) now += 300000000;
        slowPicture = false;
    });
    tap(GLFW_KEY_R);
    testing::internal::CaptureStdout();  // the new landscape's triangle count
    frame(20);
    testing::internal::GetCapturedStdout();
    EXPECT_NE(world().terrain()->mesh, oldLandscape);
    EXPECT_EQ(seeds, 1);
    EXPECT_TRUE(layout() == firstWorld) << "the same seed builds the same world";
    const MarchingCubesHandler& grid = *world().terrain()->marchingCubesHandler;
    EXPECT_TRUE(grid.points.empty() && grid.triangles.empty() && grid.densityBuffer == 0u)
        << "the landscape's grid is freed once the world is placed";
    EXPECT_EQ(sounds->count("new world"), 1);
    EXPECT_TRUE(world().shots().shots().empty()) << "no shot of the old world lives on";
    EXPECT_EQ(world().ticks(), 0u) << "the new world's first tick is the next frame's";
    EXPECT_EQ(rows(), "01:00|Health: 100%|Score: 0|50fps|Culled objects: disabled|");
    EXPECT_FALSE(world().player()->movingToTarget) << "the old world's dash ended with it";
    EXPECT_NEAR(world().player()->position.y, groundAt(400, 400), 0.01f);
    // Every body of the new world is in the physics world once: landscape, lake, cat, enemies, diamonds,
    // fountains.
    size_t bodies = 3 + world().enemies()->rabbits.size() + world().enemies()->flyingRabbits.size() +
                    world().items()->items.size() + world().items()->fountainBodies.size();
    EXPECT_EQ(static_cast<size_t>(world().physics()->getNumCollisionObjects()), bodies);

    // The new world's first picture took 300 ms, and its buffer swap 100 ms more: loading, not played
    // out in ticks. The frame after it counts from its own start; a slow picture later is caught up
    // like any stall.
    now += 100000000;
    frame(17);
    EXPECT_EQ(world().ticks(), 0u);
    frame(17);
    EXPECT_EQ(world().ticks(), 1u);
    slowPicture = true;
    frame(17);
    frame(17);
    EXPECT_EQ(world().ticks(), 1u + 1u + 5u);
}

TEST_F(GameTest, TheMouseLooksAimsAndDashesAtTicksAndKeysActOncePerPress) {
    const float startYaw = world().player()->rotation.y;
    frame(0, {0, 100});   // the first frame finds the cursor wherever the pointer was: a rest, not a move
    frame(0, {0, 100});   // the frame after the first picture plays no tick
    frame(17, {0, 200});  // 100 px down: 0.1 rad down at the next tick; the crosshair at once
    EXPECT_EQ(game->lookOffset().y, -100.0f);
    EXPECT_NEAR(world().eye().rotation.x, -0.1f, 1e-5f);
    frame(17, {100000, -2000000});  // far up and right: pitch and crosshair stop at their limits
    EXPECT_NEAR(world().eye().rotation.x, 0.8f, 1e-5f);
    EXPECT_EQ(game->view().crosshair().position, glm::vec3(1.0f, 1.0f, 0.0f));
    EXPECT_EQ(world().player()->rotation.y, startYaw) << "free look turns nothing";
    tap(GLFW_KEY_V);
    EXPECT_EQ(game->lookOffset(), glm::vec2(0.0f));
    frame(17, {100000, 2000000});
    EXPECT_NEAR(world().eye().rotation.x, -1.0f, 1e-5f);

    // Shift held: 100 px right turns the cat and the eye behind it 0.5 rad clockwise.
    frame(17, {100100, 2000000}, {kKeyLeftShift});
    EXPECT_NEAR(world().player()->rotation.y, startYaw - 0.5f, 1e-5f);
    EXPECT_EQ(game->lookOffset(), glm::vec2(0.0f));
    const glm::vec3 look = forwardOf(world().eye());
    EXPECT_NEAR(glm::dot(glm::normalize(glm::vec3(look.x, 0, look.z)), forwardOf(*world().player())), 1.0f, 1e-4f);
    // Looking steeply down, the aim is the ground straight along the view, under a white crosshair.
    const World::AimHit aim = world().aim(glm::vec3(0, 0, -1));
    EXPECT_TRUE(aim.onTerrain);
    frame(17, {100100, 2000000});
    EXPECT_EQ(game->view().crosshair().texture, game->view().crosshairTexture(true));
    EXPECT_NEAR(groundAt(aim.point.x, aim.point.z, aim.point.y + 1.0f), aim.point.y, 0.01f);
    // The right button dashes there at the next tick (no diamonds in the way).
    game->stage([](World& w) {
        for (const auto& item : w.items()->items) w.physics()->removeRigidBody(item->rigidBody);
    });
    click(GLFW_MOUSE_BUTTON_RIGHT);
    testing::internal::CaptureStdout();
    frame(17, {100100, 2000000});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "terrain\n");
    EXPECT_TRUE(world().player()->movingToTarget);
    EXPECT_EQ(sounds->count("dash"), 1);
    // At the window's right edge the crosshair aims along the edge of the view.
    const glm::vec3 edge = game->view().aimDirection(glm::vec2(160.0f, 0.0f));
    EXPECT_NEAR(std::acos(-edge.z), std::atan(std::tan(glm::radians(30.0f)) * 320.0f / 240.0f), 1e-3f);
    EXPECT_GT(edge.x, 0.0f);
    const glm::vec3 top = game->view().aimDirection(glm::vec2(0.0f, 120.0f));
    EXPECT_NEAR(std::acos(-top.z), glm::radians(30.0f), 1e-3f) << "and at the top edge along the top";

    // Unblended (nothing moved since the last tick), the camera is where the view is.
    game->stage([](World&) {});
    frame(0);
    EXPECT_EQ(game->view().camera().position, world().viewpoint());

    // Q freezes the lamp where it is; pressed again, the lamp follows the cat 0.7 above it.
    tap(GLFW_KEY_Q);
    const glm::vec3 lamp = game->view().lamp().position;
    game->stage([](World& w) { w.putCat(glm::vec3(420, 150, 400), 0.0f, 0.0f, false); });
    frame(17);
    EXPECT_EQ(game->view().lamp().position, lamp);
    tap(GLFW_KEY_Q);
    frame(17);
    // It follows the cat as drawn, between the last two ticks.
    EXPECT_LT(glm::length(game->view().lamp().position - world().player()->position - glm::vec3(0, 0.7f, 0)), 0.1f);
    GLint mode[2] = {0, 0};
    tap(GLFW_KEY_F1);
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_LINE);
    tap(GLFW_KEY_F1);
    tap(GLFW_KEY_F3);
    EXPECT_FALSE(game->switches().showHudText);
    tap(GLFW_KEY_ESCAPE);
    EXPECT_TRUE(glfwWindowShouldClose(testsupport::glWindow()));
    glfwSetWindowShouldClose(testsupport::glWindow(), GLFW_FALSE);

    // Under a menu the keys and buttons reach the menu, not the game; in play they do what they are
    // bound to.
    frame(17, {100200, 2000000});
    const glm::vec2 looked = game->lookOffset();
    ASSERT_NE(looked, glm::vec2(0.0f));
    {
        Menus menus(testsupport::glWindow(), "res/hud_font.ttf");
        target.menus = &menus;
        menus.show(Menus::Screen::Options);
        tap(GLFW_KEY_V);
        tap(GLFW_KEY_F3);
        EXPECT_EQ(game->lookOffset(), looked);
        EXPECT_FALSE(game->switches().showHudText);
        menus.show(Menus::Screen::None);
        std::string refusal;
        ASSERT_TRUE(settings.bindings.bind(Action::Recentre, Bindings::kMouse + GLFW_MOUSE_BUTTON_MIDDLE, refusal));
        tap(GLFW_KEY_V);
        EXPECT_EQ(game->lookOffset(), looked);
        click(GLFW_MOUSE_BUTTON_MIDDLE);
        EXPECT_EQ(game->lookOffset(), glm::vec2(0.0f));
        target.menus = nullptr;
    }

    // No health left ends the round in that tick: the final score large in the middle, the rows frozen.
    game->stage([](World& w) { w.roundForStaging().health = 0.0f; });
    frame(17);
    const std::string score = world().round().getScoreText();
    const std::string frozen = "Health: 0%|" + score + "|||Knocked out|" + score + "|";
    EXPECT_EQ(rows().substr(rows().find("Health"), frozen.size()), frozen);
    const auto& shown = game->hudRows().rows();
    EXPECT_EQ(shown.back().text, "Press R to start over");
    EXPECT_GT(shown[6].scale, shown.back().scale) << "the score largest";
    EXPECT_NEAR(shown[6].x + game->view().textWidth(score, shown[6].scale) / 2.0f, 160.0f, 0.5f) << "centred";
    EXPECT_EQ(game->overlayRows().front().text, "Knocked out") << "the panel hides the corner rows";
    game->stage([](World& w) { w.roundForStaging().score += 7; });
    frame(17);
    EXPECT_EQ(shown[2].text, score);
    EXPECT_EQ(sounds->count("health gone"), 1) << "once per round";
}

TEST_F(GameTest, WaterPassesMirrorTheCameraTheSkyTurnsWithTheTicksAndTheTrailFalls) {
    std::vector<std::pair<glm::vec4, float>> passes;  // clip plane and distance of each scene pass
    std::vector<glm::vec3> eyes, turns;
    game->onScenePass([&](const glm::vec4& plane, float distance) {
        passes.emplace_back(plane, distance);
        eyes.push_back(game->view().camera().position);
        turns.push_back(game->view().camera().rotation);
    });
    const auto forget = [&] {
        passes.clear();
        eyes.clear();
        turns.clear();
    };
    // 6 above the water: the mirror pass looks from 2 below it, as much up; then the camera is back.
    game->stage([](World& w) {
        const glm::vec3 cat = w.player()->position;
        w.putCat(glm::vec3(cat.x, 10.0f - 2.0f, cat.z), 0.0f, 0.1f, false);
    });
    forget();
    frame(0);
    ASSERT_EQ(passes.size(), 3u);
    EXPECT_EQ(passes[0], std::make_pair(glm::vec4(0, 1, 0, -4 + 0.2f), 50.0f));
    EXPECT_EQ(passes[1], std::make_pair(glm::vec4(0, -1, 0, 4 + 0.2f), 50.0f));
    // The low level leaves out the landscape deeper than 5 under the water, which the water hides.
    EXPECT_EQ(passes[2], std::make_pair(glm::vec4(0, 1, 0, -(4.0f - 5.0f)), 400.0f));
    EXPECT_NEAR(eyes[0].y, 2.0f * 4.0f - eyes[2].y, 1e-4f);
    EXPECT_EQ(turns[0].x, -turns[2].x);
    EXPECT_EQ(eyes[1], eyes[2]);
    EXPECT_EQ(game->view().camera().position, eyes[2]);

    // The sky turns with the world's time, not with the passes: 0.002 radians a second.
    const auto tile = world().waterTiles().front();
    const float waves = tile->moveFactor;
    frame(100);
    EXPECT_NEAR(game->view().sky().rotation, world().seconds() * 0.002, 1e-6);
    EXPECT_NEAR(tile->moveFactor - waves, 0.02 * world().seconds(), 1e-6);
    // A tile out of view gets passes only unculled (at this level one image a frame, in turn, while the
    // view moves, and none while it stands still).
    game->stage([&](World&) { tile->setPosition(world().eye().position + glm::vec3(0.0f, -10.0f, 3000.0f)); });
    forget();
    frame(100);
    EXPECT_EQ(passes.size(), 1u);
    game->switches().cullingEnabled = false;
    forget();
    frame(100);
    ASSERT_EQ(passes.size(), 2u);
    const float turn = passes[0].first.y;  // 1 for the mirror image, -1 for the one below
    game->stage([](World& w) { w.putCat(w.player()->position, 1.0f, 0.1f, false); });
    forget();
    frame(0);
    ASSERT_EQ(passes.size(), 2u);
    EXPECT_EQ(passes[0].first.y, -turn) << "then the other one's";
    forget();
    frame(0);
    ASSERT_EQ(passes.size(), 2u) << "the first one still shows the old view";
    EXPECT_EQ(passes[0].first.y, turn);
    forget();
    frame(0);
    EXPECT_EQ(passes.size(), 1u) << "standing still";

    // The trail hangs over the cat and has shed 20 sparkles a second, all falling.
    game->stage([&](World&) { tile->setPosition(glm::vec3(400.0f, 4.0f, 400.0f)); });
    for (int i = 0; i < 10; ++i) frame(50);
    EXPECT_EQ(world().trail()->position, world().player()->position + glm::vec3(0.0f, 0.7f, 0.0f));
    int alive = 0;
    for (const auto& particle : world().trail()->particles) {
        alive += particle->alive;
        EXPECT_TRUE(!particle->alive || particle->velocity.y < 0.0f);
    }
    EXPECT_NEAR(alive, 20.0 * std::min(world().seconds(), 1.0), 2.0);
    // Ground rabbits never walk onto the lake (the shore line may lie a hair below the water line).
    for (int i = 0; i < 18; ++i) frame(83.4);
    for (const auto& rabbit : world().enemies()->rabbits) {
        if (!rabbit->visible) continue;
        EXPECT_GT(groundAt(rabbit->position.x, rabbit->position.z, rabbit->position.y + 1), 3.9f);
    }
}

// The liquid fountain the eye faces flows and is drawn after the scene; one behind the eye is neither.
TEST_F(GameTest, AFountainInViewIsDrawnWithTheEffects) {
    std::shared_ptr<Healer> fountain;
    for (const auto& healer : world().items()->getFountains())
        if (dynamic_cast<Liquid*>(healer.get())) fountain = healer;
    ASSERT_TRUE(fountain);
    GLuint query = 0, drawn = 0;
    glGenQueries(1, &query);
    game->onFramePart([&](const char* part) {
        if (std::strcmp(part, "effects") == 0) glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        if (std::strcmp(part, "overlay") != 0) return;
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &drawn);
    });
    const auto drawnAt = [&](float ahead) {
        game->stage(
            [&](World& w) { fountain->setPosition(w.eye().position + ahead * forwardOf(w.eye()) - glm::vec3(0.5f)); });
        for (int i = 0; i < 10; ++i) frame(50);
        return drawn;
    };
    const GLuint behind = drawnAt(-4.0f), before = drawnAt(4.0f);
    EXPECT_GT(before, behind + 50) << behind;
    game->onFramePart(nullptr);
    glDeleteQueries(1, &query);
}

// A frame leaves nothing behind: whatever a pass turns on for its own draws it turns off again, a healer
// from the fountain hook that is no liquid is left alone, and spent shots are let go of, so the lists
// do not grow however long the player waits.
TEST_F(GameTest, WholeFramesLeaveNoGlStateAndNoSpentShotsBehind) {
    auto stranger = std::make_shared<Healer>();
    game->stage([&](World& w) {
        stranger->spawnRate = 10.0f;
        stranger->setPosition(w.eye().position + 5.0f * forwardOf(w.eye()));
        w.itemsForStaging().fountains.push_back(stranger);
        w.itemsForStaging().fountainBodies.push_back(nullptr);
        // Out of play: they would fire too.
        for (const auto& rabbit : w.enemies()->rabbits) takeOut(*rabbit, w);
        for (const auto& flyer : w.enemies()->flyingRabbits) takeOut(*flyer, w);
    });
    const auto nextFrame = [&] {
        frame(50);
        GLint cullFace = 0, framebuffer = -1, viewport[4] = {};
        GLboolean depthWrites = GL_FALSE;
        glGetIntegerv(GL_CULL_FACE_MODE, &cullFace);
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
        glGetIntegerv(GL_VIEWPORT, viewport);
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_FALSE(glIsEnabled(GL_BLEND) || glIsEnabled(GL_CLIP_DISTANCE0) || glIsEnabled(GL_DEPTH_CLAMP));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_CULL_FACE) && depthWrites);
        EXPECT_EQ(glm::ivec4(cullFace, framebuffer, viewport[2], viewport[3]), glm::ivec4(GL_BACK, 0, 320, 240));
    };
    const auto batched = [&] {
        size_t meshes = 0;
        for (const auto& batch : world().batches()) meshes += batch.second.size();
        return meshes;
    };
    nextFrame();
    nextFrame();
    const size_t objects = world().objects().size(), meshes = batched();
    const int bodies = world().physics()->getNumCollisionObjects();
    // A burst straight up into the sky from above the cat, so the shots hit nothing and expire.
    game->stage([](World& w) {
        for (int i = 0; i < 10; ++i)
            w.fire(glm::vec3(0, 6, 0), w.player()->position + glm::vec3(i, 5, 0), 1.0f, tags::kPlayerProjectile);
    });
    nextFrame();
    EXPECT_EQ(world().objects().size(), objects + 10);
    EXPECT_EQ(sounds->count("player shot"), 10) << "staged shots are heard too";
    for (int i = 0; i < 20; ++i) nextFrame();  // 60 ticks: a second
    EXPECT_EQ(world().objects().size(), objects);
    EXPECT_EQ(batched(), meshes);
    EXPECT_EQ(world().physics()->getNumCollisionObjects(), bodies);
    EXPECT_TRUE(world().shots().shots().empty());
}

}  // namespace
