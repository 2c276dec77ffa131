#include "entities/EnemyManager.h"
#include "entities/Player.h"
#include "physics/Bodies.h"
#include "physics/BulletMath.h"
#include "render/TexturedMesh.h"
#include "scene/ObjectTags.h"
#include "support/TestGame.h"
#include "view/WorldView.h"
#include "world/CameraBoom.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kTickMs = 1000.0 / 60.0;

class CameraViewTest : public testsupport::TestGame {
protected:
    const World& world() const { return game->world(); }
    // No rabbit has seen the cat yet (each starts as having not seen it for the whole forget time).
    bool noRabbitSawTheCat() const {
        bool unseen = true;
        for (const auto& r : world().enemies()->rabbits) unseen = unseen && r->timeSinceSeen >= 2.0f;
        for (const auto& f : world().enemies()->flyingRabbits) unseen = unseen && f->timeSinceSeen >= 2.0f;
        return unseen;
    }
};

}  // namespace

// The view is let out gently and pulled in at once, never past where the way is clear.
TEST(CameraBoom, PullsInAtOnceAndEasesBackOutWithoutOvershooting) {
    CameraBoom boom;
    boom.settle(5.0f);
    boom.follow(2.0f, 1.0f / 60.0f);
    EXPECT_EQ(boom.length(), 2.0f);
    boom.follow(5.0f, 1.0f / 60.0f);
    EXPECT_GT(boom.length(), 2.0f);
    EXPECT_LT(boom.length(), 2.3f) << "no jump back out";
    float last = boom.length();
    for (int tick = 0; tick < 180; ++tick) {
        boom.follow(5.0f, 1.0f / 60.0f);
        EXPECT_GE(boom.length(), last);
        EXPECT_LE(boom.length(), 5.0f);
        last = boom.length();
    }
    EXPECT_EQ(boom.length(), 5.0f);
}

// At easy the opening group starts out of sight; the view stays on the cat's side of rock between them
// and goes back out when it is gone; what is closer to the view than its near plane is left out of the
// picture; at normal the opening group is round the cat again, from the next world on.
TEST_F(CameraViewTest, EasyStartsUnseenTheViewKeepsOutOfRockAndNormalOpensAtTheCat) {
    Game::Setup gameSetup = setup();
    gameSetup.start.difficulty = Difficulty::Easy;
    build(gameSetup);
    const glm::vec3 start = world().player()->position;
    const auto& opening = world().enemies()->rabbits;
    ASSERT_GE(opening.size(), 5u);
    for (size_t i = opening.size() - 5; i < opening.size(); ++i) {
        const glm::vec3 p = opening[i]->position;
        EXPECT_GT(std::max(std::abs(p.x - start.x), std::abs(p.z - start.z)), 20.5f)
            << "the opening group starts ahead";
    }
    for (int i = 0; i < 60; ++i) {
        ASSERT_TRUE(noRabbitSawTheCat()) << "after " << world().ticks() << " ticks";
        frame(3 * kTickMs);
    }
    EXPECT_EQ(world().round().health, 1.0f);
    EXPECT_EQ(world().start().difficulty, Difficulty::Easy);

    const glm::vec3 spot(400, 600, 400);
    game->stage([&](World& w) { w.putCat(spot, 0.0f, 0.0f, false); });
    const float full = glm::length(world().eye().position - world().orbitPoint());
    EXPECT_NEAR(world().viewDistance(), full, 1e-4f) << "nothing in the way";
    SceneObject rock;
    rock.name = tags::kTerrain;
    btBoxShape slab(btVector3(10, 10, 0.25));
    btDefaultMotionState* motion = nullptr;
    btRigidBody* wall = physics::createBody(&rock, &slab, 0.0,
                                            btTransform(btQuaternion::getIdentity(), btVector3(400, 602, 403)), motion);
    game->stage([&](World& w) { w.physics()->addRigidBody(wall); });
    frame(kTickMs);
    EXPECT_LT(world().viewpoint().z, 402.75f - 0.39f) << "the view stays on the cat's side of the wall";
    EXPECT_LT(world().viewDistance(), 2.75f);

    // A flying rabbit right at the view is left out of the picture, and shown again after it.
    auto flyer = world().enemies()->flyingRabbits.front();
    game->stage([&](World&) { flyer->setPosition(world().viewpoint() - glm::vec3(0, 0.5f, 0)); });
    bool shownInScene = true;
    game->onFramePart([&](const char* part) {
        if (std::strcmp(part, "scene") == 0) shownInScene = flyer->meshes.front()->visible;
    });
    frame(0.0);
    EXPECT_FALSE(shownInScene);
    EXPECT_TRUE(flyer->meshes.front()->visible);
    game->onFramePart({});

    game->stage([&](World& w) { w.physics()->removeRigidBody(wall); });
    const float pulledIn = world().viewDistance();
    frame(kTickMs);
    EXPECT_GT(world().viewDistance(), pulledIn);
    EXPECT_LT(world().viewDistance(), pulledIn + 0.5f) << "eased out, not snapped";
    for (int i = 0; i < 60; ++i) frame(3 * kTickMs);
    EXPECT_NEAR(world().viewDistance(), full, 1e-3f);
    EXPECT_LT(glm::length(world().viewpoint() - world().eye().position), 1e-3f);
    delete wall;
    delete motion;

    game->setDifficulty(Difficulty::Normal);
    game->newWorld();
    frame(kTickMs);
    ASSERT_EQ(world().start().difficulty, Difficulty::Normal);
    const glm::vec3 cat = world().player()->position;
    const auto& rabbits = world().enemies()->rabbits;
    const auto& flyers = world().enemies()->flyingRabbits;
    ASSERT_GE(rabbits.size(), 5u);
    ASSERT_GE(flyers.size(), 2u);
    auto inOpeningSquare = [&cat](const glm::vec3& p) {
        return std::abs(p.x - cat.x) <= 20.5f && std::abs(p.z - cat.z) <= 20.5f;
    };
    for (size_t i = rabbits.size() - 5; i < rabbits.size(); ++i) EXPECT_TRUE(inOpeningSquare(rabbits[i]->position));
    for (size_t i = flyers.size() - 2; i < flyers.size(); ++i) EXPECT_TRUE(inOpeningSquare(flyers[i]->position));
    EXPECT_EQ(rabbits.back()->sightRange, 10.0f);
}
