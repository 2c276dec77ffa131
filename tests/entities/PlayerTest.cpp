#include "entities/Player.h"

#include "scene/ObjectTags.h"
#include "render/TexturedMesh.h"
#include "support/GlContext.h"
#include "support/PhysicsWorld.h"
#include "support/Near.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using testsupport::near;

constexpr float kDt = 0.02f;

// The game's player on flat terrain (top at y = 0), with its body in the world.
class PlayerTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        player = std::make_unique<Player>("player_v3.dae");
        world.addGround(tags::kTerrain, 0.0f);
        world.add(player->rigidBody);
        player->setPosition(glm::vec3(100, 0, 100));
        player->grounded = true;
    }
    // One frame with the given keys held; returns how far the player went.
    glm::vec3 frame(std::initializer_list<PlayerKey> held, float dt = kDt) {
        std::vector<int> keys(kPlayerKeyCount, 0);
        for (PlayerKey key : held) keys[key] = 1;
        const glm::vec3 before = player->position;
        player->update(dt, keys, world.get());
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

TEST_F(PlayerTest, KeysWalkTurnAndStrafeAtTenUnitsASecondAndShotsStartUpItsAxis) {
    // The model stands up at half size, with the point 2 units down its z axis on the player.
    const glm::mat4 model = player->meshes.back()->getModelMatrix();
    EXPECT_TRUE(near(glm::vec3(model * glm::vec4(0, 0, -2, 1)), player->position));
    EXPECT_TRUE(near(glm::vec3(model * glm::vec4(0, 0, 2, 1)), player->position + glm::vec3(0, 2, 0)));
    EXPECT_TRUE(near(frame({kKeyW, kKeyS}), glm::vec3(0, 0, -10 * kDt)));  // W wins over S
    EXPECT_TRUE(near(frame({kKeyA, kKeyD}), glm::vec3(0)));                // A wins over D, and turns
    EXPECT_NEAR(player->rotation.y, 3.0f * kDt, 1e-6f);
    player->setRotation(glm::vec3(0));
    EXPECT_TRUE(near(frame({kKeyA, kKeyD, kKeyLeftShift}), glm::vec3(-10 * kDt, 0, 0)));  // shift makes A and D strafe
    EXPECT_TRUE(near(frame({kKeyD, kKeyLeftShift}), glm::vec3(10 * kDt, 0, 0)));
    const glm::vec3 diagonal = frame({kKeyW, kKeyD, kKeyLeftShift});
    EXPECT_NEAR(glm::length(diagonal), 10 * kDt, 1e-4f) << "no faster diagonally";
    EXPECT_NEAR(diagonal.x, -diagonal.z, 1e-5f);
    EXPECT_EQ(player->rotation.y, 0.0f);
    player->setRotation(glm::vec3(0, 0, 1.5707964f));  // shots start three units up its own axis
    EXPECT_TRUE(near(player->getProjectileSpawnPoint(), player->position + glm::vec3(-3, 0, 0)));
}

TEST_F(PlayerTest, JumpsOnlyFromTheGroundAndFallsNoFasterThanTerminalSpeed) {
    WorldEvents events;
    player->events = &events;
    frame({kKeySpace});
    EXPECT_EQ(player->verticalVelocity, 3.0f);
    EXPECT_NEAR(player->position.y, 3.0f * kDt, 1e-5f);
    frame({kKeySpace});  // still within the ground probe: the same jump goes on
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, WorldEvent::Kind::Jump);
    player->setPosition(glm::vec3(100, 1.6f, 100));  // beyond the reach of the ground probe
    frame({kKeySpace});
    frame({kKeySpace});
    EXPECT_FALSE(player->grounded);
    EXPECT_FLOAT_EQ(player->verticalVelocity, 3.0f - 6.0f * kDt);

    player->setPosition(glm::vec3(100, 500, 100));
    player->verticalVelocity = -23.9f;
    frame({}, 0.1f);
    frame({}, 0.1f);
    EXPECT_FLOAT_EQ(player->verticalVelocity, -24.5f);
}

TEST_F(PlayerTest, DashStartsFastSlowsDownAndEndsOnTheTargetOrAtAnObstacle) {
    player->setPosition(glm::vec3(100, 2, 100));
    player->moveTarget = glm::vec3(100, 2, 200);
    player->movingToTarget = true;
    EXPECT_TRUE(near(frame({kKeyS}, 0.01f), glm::vec3(0, 0, 2)));  // 200 * dt; the keys do nothing
    EXPECT_TRUE(near(frame({}, 0.01f), glm::vec3(0, 0, 20 * std::sqrt(98.0f) * 0.01f)));
    // Long frames must still bring it home rather than bounce it around the target.
    for (int i = 0; i < 100 && player->movingToTarget; ++i) frame({}, 0.05f);
    EXPECT_FALSE(player->movingToTarget);
    EXPECT_TRUE(near(player->position, player->moveTarget, 0.05f));
    EXPECT_TRUE(near(player->motionState->m_graphicsWorldTrans.getOrigin(), player->position + glm::vec3(0, 1, 0)));

    player->setPosition(glm::vec3(300, 1, 300));
    world.addBox("rock", glm::vec3(300, 2, 299), glm::vec3(3, 2, 0.25f));
    player->moveTarget = glm::vec3(300, 1, 250);
    player->movingToTarget = true;
    player->grounded = false;
    EXPECT_TRUE(near(frame({}), glm::vec3(0)));
    EXPECT_FALSE(player->movingToTarget);
    EXPECT_TRUE(player->grounded) << "probed again where it stopped";
}

TEST_F(PlayerTest, RightClickDashesOnlyToTerrainMoreThanTwoAway) {
    // Hovering 1 up, so terrain lies within 2 of a lifted target.
    player->setPosition(glm::vec3(100, 1, 100));
    player->syncFromBody();
    world->stepSimulation(1.0 / 60.0, 10, 1.0 / 60.0);
    world.addBox(tags::kItem, glm::vec3(110, 1, 100), glm::vec3(0.3f));
    WorldEvents events;
    player->events = &events;
    EXPECT_EQ(clickAt(glm::vec3(110, 1, 100)), "item\n");
    EXPECT_EQ(clickAt(glm::vec3(103, -3.5f, 100)), "terrain\n");  // lands at x = 101.5: 1.8 from the target
    EXPECT_EQ(clickAt(glm::vec3(100, 100, 100)), "");             // nothing above
    EXPECT_FALSE(player->movingToTarget);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(clickAt(glm::vec3(100, -3.5f, 110)), "terrain\n");
    EXPECT_TRUE(player->movingToTarget);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, WorldEvent::Kind::Dash);
    EXPECT_TRUE(near(player->moveTarget, glm::vec3(100, 2, 105)));

    // Standing on the ground, a click just in front sends the ray through the cat's own body.
    player->setPosition(glm::vec3(100, 0, 100));
    player->syncFromBody();
    world->stepSimulation(1.0 / 60.0, 10, 1.0 / 60.0);
    player->movingToTarget = false;
    EXPECT_EQ(clickAt(glm::vec3(100, -0.5f, 100.7f)), "terrain\n");
    EXPECT_TRUE(player->movingToTarget);
}

using PlayerModelTest = testsupport::GlTest;

TEST_F(PlayerModelTest, AModelWithFewerThanFourPartsIsRefused) {
    // A forked child cannot shut its copy of the GL context down, so the child starts afresh.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(Player("rabbit.dae"), testing::ExitedWithCode(1), "rabbit.dae has 2 meshes");
}

}  // namespace
