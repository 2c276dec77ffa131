#include "entities/Rabbit.h"

#include "entities/FlyingRabbit.h"
#include "scene/ObjectTags.h"
#include "render/TexturedMesh.h"
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

// A mesh-less rabbit on flat ground (top at y = 0) at (400, 0, 400), and a box for the player's body.
class RabbitTest : public ::testing::Test {
protected:
    RabbitTest() {
        random.reseed(7);
        hooks.random = &random;
        world.addGround(tags::kTerrain, 0.0f);
        hooks.fire = [this](const glm::vec3& impulse, const glm::vec3& start, float lifetime, const std::string& name) {
            shots.push_back({impulse, start, lifetime, name, frameCount});
        };
        world.add(rabbit.rigidBody);
        place(glm::vec3(400, 0, 400));
    }
    void place(const glm::vec3& p, bool grounded = true) {
        rabbit.setPosition(p);
        rabbit.grounded = grounded;
        rabbit.syncFromBody();
        world->stepSimulation(kDt, 10, 1.0 / 60.0);
    }
    void putPlayer(const glm::vec3& p) {  // its body is 2 tall
        player = p;
        playerBody->getWorldTransform().setOrigin(btVector3(p.x, p.y + 1, p.z));
        world->updateSingleAabb(playerBody);
    }
    // Frames as the game runs them: behaviour, then the physics step.
    void frames(int count) {
        for (int i = 0; i < count; ++i, ++frameCount) {
            rabbit.update(kDt, player, world.get());
            world->stepSimulation(kDt, 10, 1.0 / 60.0);
        }
    }

    Random random;
    EnemyHooks hooks;
    std::vector<Shot> shots;
    int frameCount = 0;
    glm::vec3 player{0.0f};
    Rabbit rabbit{std::vector<std::shared_ptr<TexturedMesh>>{}, &hooks};  // the world lets go of it first
    testsupport::PhysicsWorld world;
    btRigidBody* playerBody = world.addBox(tags::kPlayer, glm::vec3(0), glm::vec3(0.5f, 1.0f, 0.5f));
};

TEST_F(RabbitTest, SeesThePlayerWithinTenUnitsAndChasesUntilTwoSecondsAfterLosingSight) {
    putPlayer(glm::vec3(412, 0, 400));
    EXPECT_FALSE(rabbit.canSeePlayer(player, world.get()));
    frames(5);  // out of sight, a new rabbit wanders
    EXPECT_TRUE(shots.empty());
    EXPECT_NE(rabbit.rotation.y, -kPi / 2);
    putPlayer(glm::vec3(410, 0, 400));
    EXPECT_TRUE(rabbit.canSeePlayer(player, world.get()));

    place(glm::vec3(400, 0, 400));
    putPlayer(glm::vec3(406, 0, 400));
    frames(1);
    EXPECT_EQ(shots.size(), 1u);
    EXPECT_FLOAT_EQ(rabbit.rotation.y, -kPi / 2);
    world.addBox("rock", glm::vec3(402, 2, 400), glm::vec3(0.2f, 2.0f, 2.0f));
    EXPECT_FALSE(rabbit.canSeePlayer(player, world.get())) << "a rock hides the player";
    frames(90);  // 1.8 s unseen: still facing the player, walking up to the rock
    EXPECT_FLOAT_EQ(rabbit.rotation.y, -kPi / 2);
    EXPECT_TRUE(rabbit.position.x > 400.5f && rabbit.position.x < 401.8f) << rabbit.position.x;
    frames(15);  // past 2 s: wandering turns it and it stops shooting
    EXPECT_NE(rabbit.rotation.y, -kPi / 2);
    const size_t fired = shots.size();
    frames(250);
    EXPECT_EQ(shots.size(), fired);
}

TEST_F(RabbitTest, FacesThePlayerAndKeepsBetweenThreeAndFourUnitsWalkingOnlyOnTheGround) {
    const struct {
        glm::vec3 offset;
        float yaw, walked;
    } cases[] = {{{6, 0, 0}, -kPi / 2, 4 * kDt},  {{-6, 0, 0}, kPi / 2, 4 * kDt}, {{0, 0, 6}, kPi, 4 * kDt},
                 {{5, 0, -5}, -kPi / 4, 4 * kDt}, {{0, 0, -2}, 0.0f, -4 * kDt},   {{0, 0, 3.5f}, kPi, 0.0f}};
    for (const auto& c : cases) {
        place(glm::vec3(400, 0, 400));
        putPlayer(glm::vec3(400, 0, 400) + c.offset);
        frames(1);
        EXPECT_NEAR(rabbit.rotation.y, c.yaw, 1e-5f) << c.offset.x << ", " << c.offset.z;
        EXPECT_NEAR(glm::length(player - rabbit.position), glm::length(c.offset) - c.walked, 1e-3f);
    }
    place(glm::vec3(400, 5, 400), false);  // chasing while airborne: it falls, but goes nowhere
    putPlayer(glm::vec3(408, 0, 400));
    frames(20);
    EXPECT_FLOAT_EQ(rabbit.position.x, 400.0f);
    EXPECT_LT(rabbit.position.y, 5.0f);
}

TEST_F(RabbitTest, ShootsAtThePlayerEveryHalfToFourAndAHalfSeconds) {
    place(glm::vec3(400, 1, 400), false);
    putPlayer(glm::vec3(403.5f, 0, 400));
    frames(1);
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_NEAR(glm::length(shots[0].impulse), 4.0f, 1e-5f);
    EXPECT_NEAR(glm::dot(glm::normalize(shots[0].impulse), glm::normalize(player - glm::vec3(400, 1, 400))), 1, 1e-4f);
    EXPECT_EQ(shots[0].start, glm::vec3(400, 2, 400));
    EXPECT_EQ(shots[0].lifetime, 3.0f);
    EXPECT_EQ(shots[0].name, "projectile");
    frames(300);
    EXPECT_NEAR(rabbit.position.y, 0.0f, 1e-4f) << "standing, it still falls to the ground";
    ASSERT_GE(shots.size(), 2u);
    const float interval = (shots[1].frame - shots[0].frame) * kDt;
    const float whole = std::round(interval - 0.5f);
    EXPECT_NEAR(interval, whole + 0.5f, kDt + 1e-3f);
    EXPECT_TRUE(whole >= 0.0f && whole <= 4.0f) << interval;
}

TEST_F(RabbitTest, KnockBackSlidesToItsTargetOrStopsAtAnObstacle) {
    putPlayer(glm::vec3(440, 0, 400));
    rabbit.knockedBack = true;
    rabbit.knockbackTarget = glm::vec3(397, 0.5f, 400);  // 3.04 away: 31 steps of 0.1
    frames(30);
    EXPECT_NEAR(rabbit.position.x, 397.0f + 3.0f * (1 - 30 * 0.1f / std::sqrt(9.25f)), 1e-3f);
    frames(2);
    EXPECT_FALSE(rabbit.knockedBack) << "the last step stops on the target";
    EXPECT_NEAR(glm::length(rabbit.position - rabbit.knockbackTarget), 0.0f, 1e-4f);
    place(glm::vec3(400, 0, 400));
    world.addBox("rock", glm::vec3(398, 2, 400), glm::vec3(0.2f, 2.0f, 2.0f));
    rabbit.knockedBack = true;
    rabbit.knockbackTarget = glm::vec3(394, 0.5f, 400);
    frames(20);
    EXPECT_FALSE(rabbit.knockedBack);
    EXPECT_TRUE(rabbit.position.x > 398.2f && rabbit.position.x < 399.3f) << rabbit.position.x;
}

constexpr double kDegrees = 180.0 / 3.14159265358979323846;
const glm::vec3 kFarAway(100, 0, 100);

// A flying rabbit with three plain meshes (diamond, body, eyes) at (400, 5, 400) over flat ground.
class FlyingRabbitTest : public ::testing::Test {
protected:
    FlyingRabbitTest() {
        random.reseed(11);
        hooks.random = &random;
        world.addGround(tags::kTerrain, 0.0f);
        hooks.fire = [this](const glm::vec3&, const glm::vec3&, float, const std::string& name) {
            shots.push_back(name);
        };
        world.add(flyer.rigidBody);
        flyer.setPosition(glm::vec3(400, 5, 400));
    }
    void frame(const glm::vec3& player) {
        flyer.update(kDt, player, world.get());
        world->stepSimulation(kDt, 10, 1.0 / 60.0);
    }

    Random random;
    EnemyHooks hooks;
    std::vector<std::string> shots;
    FlyingRabbit flyer{std::vector<std::shared_ptr<TexturedMesh>>(3, std::make_shared<TexturedMesh>()), &hooks};
    testsupport::PhysicsWorld world;  // lets go of the flyer's body first
};

TEST_F(FlyingRabbitTest, DriftsUpAndDownWithinItsLimitsSinksWhenHighAndSlidesThroughObstacles) {
    float lowest = 1e9f, highest = -1e9f;
    for (int i = 0; i < 500; ++i) {
        frame(kFarAway);
        ASSERT_TRUE(std::abs(flyer.verticalVelocity) <= 10.0f && flyer.position.y >= -1e-4f);
        lowest = std::min(lowest, flyer.position.y);
        highest = std::max(highest, flyer.position.y);
    }
    EXPECT_GT(highest - lowest, 0.5f);
    // More than 10 above the ground it last found, it sinks at 3 units a second or faster.
    flyer.setPosition(glm::vec3(400, 15, 400));
    flyer.groundPoint = glm::vec3(400, 0, 400);
    flyer.verticalVelocity = 5.0f;  // even while climbing
    for (int i = 0; i < 100 && flyer.position.y > 10.1f; ++i) {
        const float before = flyer.position.y;
        frame(kFarAway);
        ASSERT_LE(flyer.position.y - before, -3.0f * kDt + 1e-4f) << "frame " << i;
    }
    world.addBox("rock", glm::vec3(398, 5, 400), glm::vec3(0.2f, 5.0f, 2.0f));
    flyer.setPosition(glm::vec3(400, 5, 400));
    flyer.knockedBack = true;
    flyer.knockbackTarget = glm::vec3(396, 5.5f, 400);
    for (int i = 0; i < 50 && flyer.knockedBack; ++i) frame(kFarAway);
    EXPECT_NEAR(flyer.position.x, 396.0f, 1e-4f);
}

TEST_F(FlyingRabbitTest, ChasesThroughTheAirShootingWithItsDiamondSpinningFasterWhileClimbing) {
    // Chasing a player straight ahead (-z) keeps the facing fixed, so only the spin turns the diamond.
    flyer.setPosition(glm::vec3(400, 40, 400));
    flyer.groundPoint = glm::vec3(400, 0, 400);
    flyer.timeSinceSeen = 0.0f;
    for (int i = 0; i < 50; ++i) {
        const double before = flyer.meshes[0]->rotation.y * kDegrees;
        const float z = flyer.position.z;
        frame(glm::vec3(400, 40, 380));
        ASSERT_NEAR(flyer.position.z, z - 4 * kDt, 1e-4f);
        const double turned = std::fmod(flyer.meshes[0]->rotation.y * kDegrees - before + 720.0, 360.0);
        ASSERT_NEAR(turned, std::fmod(std::lround((flyer.verticalVelocity + 10) * kDt * 2000), 360.0), 0.01) << i;
    }
    EXPECT_NEAR(flyer.position.x, 400.0f, 1e-3f);
    ASSERT_FALSE(shots.empty());
    EXPECT_EQ(shots[0], "projectile");
}

}  // namespace
