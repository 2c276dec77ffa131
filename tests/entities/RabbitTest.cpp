#include "entities/Rabbit.h"

#include "support/PhysicsWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr float kDt = 0.02f;
constexpr float kPi = 3.14159265f;

struct Shot {
    glm::vec3 impulse, start;
    float lifetime;
    std::string name;
    int frame;
};

// A mesh-less rabbit on flat ground (top at y = 0), with a box for the player's body.
class RabbitTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::srand(7);
        world.addGround("terrain", 0.0f);
        hooks.fire = [this](const glm::vec3& impulse, const glm::vec3& start, float lifetime, const std::string& name) {
            shots.push_back({impulse, start, lifetime, name, frameCount});
        };
        rabbit = std::make_unique<Rabbit>(std::vector<std::shared_ptr<TexturedMesh>>{}, &hooks);
        world.add(rabbit->rigidBody);
        place(glm::vec3(400, 0, 400), true);
    }
    void place(const glm::vec3& p, bool grounded) {
        rabbit->setPosition(p);
        rabbit->grounded = grounded;
        rabbit->syncFromBody();
        world->stepSimulation(kDt, 10, 1.0 / 60.0);
    }
    // The player stands at `p`; its body is 2 tall.
    void putPlayer(const glm::vec3& p) {
        player = p;
        if (!playerBody) playerBody = world.addBox("player", p, glm::vec3(0.5f, 1.0f, 0.5f));
        playerBody->getWorldTransform().setOrigin(btVector3(p.x, p.y + 1, p.z));
        world->updateSingleAabb(playerBody);
    }
    // Frames as the game runs them: behaviour, then the physics step.
    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            ++frameCount;
            rabbit->update(kDt, player, world.get());
            world->stepSimulation(kDt, 10, 1.0 / 60.0);
        }
    }

    EnemyHooks hooks;
    std::vector<Shot> shots;
    int frameCount = 0;
    glm::vec3 player{0.0f};
    btRigidBody* playerBody = nullptr;
    std::unique_ptr<Rabbit> rabbit;  // declared before the world, which lets go of its body first
    testsupport::PhysicsWorld world;
};

TEST_F(RabbitTest, SeesThePlayerTenUnitsAwayButNotTwelve) {
    putPlayer(glm::vec3(410, 0, 400));
    rabbit->timeSinceSeen = 5.0f;
    EXPECT_TRUE(rabbit->canSeePlayer(player, world.get()));
    EXPECT_EQ(rabbit->timeSinceSeen, 0.0f);

    putPlayer(glm::vec3(412, 0, 400));
    rabbit->timeSinceSeen = 5.0f;
    EXPECT_FALSE(rabbit->canSeePlayer(player, world.get()));
    EXPECT_EQ(rabbit->timeSinceSeen, 5.0f);

    putPlayer(glm::vec3(406, 0, 400));
    world.addBox("rock", glm::vec3(403, 2, 400), glm::vec3(0.2f, 2.0f, 2.0f));
    EXPECT_FALSE(rabbit->canSeePlayer(player, world.get())) << "a rock hides the player";
}

TEST_F(RabbitTest, NewRabbitWandersUntilItSeesThePlayer) {
    putPlayer(glm::vec3(420, 0, 400));  // out of sight
    frames(5);
    EXPECT_TRUE(shots.empty());
    EXPECT_NE(rabbit->rotation.y, -kPi / 2);
}

TEST_F(RabbitTest, ChasesForTwoSecondsAfterLosingSightThenWanders) {
    putPlayer(glm::vec3(406, 0, 400));
    frames(1);
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_FLOAT_EQ(rabbit->rotation.y, -kPi / 2);
    world.addBox("rock", glm::vec3(402, 2, 400), glm::vec3(0.2f, 2.0f, 2.0f));
    frames(90);  // 1.8 s unseen: still facing the player, walking up to the rock
    EXPECT_FLOAT_EQ(rabbit->rotation.y, -kPi / 2);
    EXPECT_GT(rabbit->position.x, 400.5f);
    EXPECT_LT(rabbit->position.x, 401.8f);
    frames(15);  // past 2 s: wandering turns it and it stops shooting
    EXPECT_NE(rabbit->rotation.y, -kPi / 2);
    const size_t fired = shots.size();
    frames(250);
    EXPECT_EQ(shots.size(), fired);
}

TEST_F(RabbitTest, FacesThePlayerWithTheSignedAngle) {
    const struct {
        glm::vec3 offset;
        float yaw;
    } cases[] = {
        {{6, 0, 0}, -kPi / 2}, {{-6, 0, 0}, kPi / 2}, {{0, 0, -6}, 0.0f}, {{0, 0, 6}, kPi}, {{5, 0, -5}, -kPi / 4}};
    for (const auto& c : cases) {
        place(glm::vec3(400, 0, 400), true);
        putPlayer(glm::vec3(400, 0, 400) + c.offset);
        const float before = glm::length(c.offset);
        frames(1);
        EXPECT_NEAR(rabbit->rotation.y, c.yaw, 1e-5f) << c.offset.x << ", " << c.offset.z;
        EXPECT_NEAR(glm::length(player - rabbit->position), before - 4 * kDt, 1e-3f) << "walks towards the player";
    }
    EXPECT_NEAR(Rabbit::signedAngle({1, 0}, {0, 1}), kPi / 2, 1e-6f);
    EXPECT_NEAR(Rabbit::signedAngle({0, 1}, {1, 0}), -kPi / 2, 1e-6f);
}

TEST_F(RabbitTest, InTheThreeToFourBandItStandsYetFallsAndShoots) {
    place(glm::vec3(400, 1, 400), false);
    putPlayer(glm::vec3(403.5f, 0, 400));
    frames(1);
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_NEAR(glm::length(shots[0].impulse), 4.0f, 1e-5f);
    const glm::vec3 dir = glm::normalize(player - glm::vec3(400, 1, 400));
    EXPECT_NEAR(glm::dot(glm::normalize(shots[0].impulse), dir), 1.0f, 1e-4f);
    EXPECT_NEAR(shots[0].start.y, rabbit->position.y + 1.0f, 0.05f);
    EXPECT_EQ(shots[0].lifetime, 3.0f);
    EXPECT_EQ(shots[0].name, "projectile");

    frames(60);
    EXPECT_FLOAT_EQ(rabbit->position.x, 400.0f);
    EXPECT_FLOAT_EQ(rabbit->position.z, 400.0f);
    EXPECT_NEAR(rabbit->position.y, 0.0f, 1e-4f) << "fell to the ground";

    // The next shot comes 0.5, 1.5, 2.5, 3.5 or 4.5 s after the first.
    frames(250);
    ASSERT_GE(shots.size(), 2u);
    const float interval = (shots[1].frame - shots[0].frame) * kDt;
    bool allowed = false;
    for (float expected : {0.5f, 1.5f, 2.5f, 3.5f, 4.5f}) allowed |= std::abs(interval - expected) <= kDt + 1e-3f;
    EXPECT_TRUE(allowed) << interval;
}

TEST_F(RabbitTest, MovesHorizontallyOnlyOnTheGround) {
    place(glm::vec3(400, 5, 400), false);
    putPlayer(glm::vec3(408, 0, 400));
    rabbit->timeSinceSeen = 0.0f;
    frames(20);  // chasing while airborne
    EXPECT_FLOAT_EQ(rabbit->position.x, 400.0f);
    EXPECT_LT(rabbit->position.y, 5.0f);

    putPlayer(glm::vec3(440, 0, 400));  // out of sight: wandering, still falling
    rabbit->timeSinceSeen = 3.0f;
    place(glm::vec3(400, 20, 400), false);
    frames(20);
    EXPECT_FLOAT_EQ(rabbit->position.x, 400.0f);
    EXPECT_FLOAT_EQ(rabbit->position.z, 400.0f);

    place(glm::vec3(400, 0, 400), true);  // on the ground, too close: backs away
    putPlayer(glm::vec3(402, 0, 400));
    frames(1);
    EXPECT_NEAR(rabbit->position.x, 400 - 4 * kDt, 1e-4f);
}

TEST_F(RabbitTest, KnockBackSlidesToItsTargetAndEnds) {
    putPlayer(glm::vec3(440, 0, 400));
    rabbit->knockedBack = true;
    rabbit->knockbackTarget = glm::vec3(397, 0.5f, 400);  // 3.04 away: 31 steps of 0.1
    frames(30);
    EXPECT_TRUE(rabbit->knockedBack);
    EXPECT_NEAR(rabbit->position.x, 397.0f + 3.0f * (1 - 30 * 0.1f / std::sqrt(9.25f)), 1e-3f);
    frames(2);
    EXPECT_FALSE(rabbit->knockedBack) << "the last step stops on the target";
    EXPECT_NEAR(glm::length(rabbit->position - rabbit->knockbackTarget), 0.0f, 1e-4f);
    EXPECT_TRUE(rabbit->grounded);
}

TEST_F(RabbitTest, KnockBackStopsAtAnObstacle) {
    putPlayer(glm::vec3(440, 0, 400));
    world.addBox("rock", glm::vec3(398, 2, 400), glm::vec3(0.2f, 2.0f, 2.0f));
    rabbit->knockedBack = true;
    rabbit->knockbackTarget = glm::vec3(394, 0.5f, 400);
    frames(20);
    EXPECT_FALSE(rabbit->knockedBack);
    EXPECT_GT(rabbit->position.x, 398.2f);
    EXPECT_LT(rabbit->position.x, 399.3f);
}

TEST_F(RabbitTest, HiddenRabbitDoesNothing) {
    putPlayer(glm::vec3(405, 0, 400));
    rabbit->setVisible(false);
    rabbit->knockedBack = true;
    rabbit->knockbackTarget = glm::vec3(390, 0.5f, 400);
    frames(10);
    EXPECT_EQ(rabbit->position, glm::vec3(400, 0, 400));
    EXPECT_TRUE(shots.empty());
}

}  // namespace
