#include "entities/FlyingRabbit.h"

#include "render/TexturedMesh.h"
#include "support/PhysicsWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr float kDt = 0.02f;
constexpr double kPi = 3.14159265358979323846;

// A flying rabbit with three plain meshes (diamond, body, eyes) over flat ground at y = 0.
class FlyingRabbitTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::srand(11);
        world.addGround("terrain", 0.0f);
        hooks.fire = [this](const glm::vec3&, const glm::vec3&, float, const std::string& name) {
            shotNames.push_back(name);
        };
        std::vector<std::shared_ptr<TexturedMesh>> templates;
        for (int i = 0; i < 3; ++i) templates.push_back(std::make_shared<TexturedMesh>());
        flyer = std::make_unique<FlyingRabbit>(templates, &hooks);
        world.add(flyer->rigidBody);
        flyer->setPosition(glm::vec3(400, 5, 400));
    }
    void frames(int count, const glm::vec3& player) {
        for (int i = 0; i < count; ++i) {
            flyer->update(kDt, player, world.get());
            world->stepSimulation(kDt, 10, 1.0 / 60.0);
        }
    }
    float diamondYaw() const { return flyer->meshes[0]->rotation.y; }

    EnemyHooks hooks;
    std::vector<std::string> shotNames;
    std::unique_ptr<FlyingRabbit> flyer;  // declared before the world, which lets go of its body first
    testsupport::PhysicsWorld world;
};

TEST_F(FlyingRabbitTest, SinksWhenMoreThanTenAboveItsLastGround) {
    flyer->setPosition(glm::vec3(400, 40, 400));
    flyer->groundPoint = glm::vec3(400, 0, 400);
    for (int i = 0; i < 100; ++i) {
        const float before = flyer->position.y;
        frames(1, glm::vec3(100, 0, 100));
        ASSERT_LE(flyer->position.y - before, -3.0f * kDt + 1e-4f) << "frame " << i;
    }
    EXPECT_LT(flyer->position.y, 40.0f - 3.0f * 100 * kDt + 1e-3f);
}

TEST_F(FlyingRabbitTest, DriftsWithinItsClimbLimitsAboveTheGround) {
    float lowest = 1e9f, highest = -1e9f;
    for (int i = 0; i < 500; ++i) {
        frames(1, glm::vec3(100, 0, 100));
        ASSERT_LE(std::abs(flyer->verticalVelocity), 10.0f);
        ASSERT_GE(flyer->position.y, -1e-4f);
        lowest = std::min(lowest, flyer->position.y);
        highest = std::max(highest, flyer->position.y);
    }
    EXPECT_GT(highest - lowest, 0.5f) << "it goes up and down";
}

TEST_F(FlyingRabbitTest, DiamondSpinsFasterWhileClimbing) {
    // Chasing a player straight ahead (-z) keeps the facing fixed, so only the spin turns the diamond.
    flyer->setPosition(glm::vec3(400, 40, 400));
    flyer->groundPoint = glm::vec3(400, 0, 400);
    flyer->timeSinceSeen = 0.0f;
    const glm::vec3 player(400, 40, 380);
    for (int i = 0; i < 50; ++i) {
        const double before = diamondYaw() * 180.0 / kPi;
        frames(1, player);
        const double turned = std::fmod(diamondYaw() * 180.0 / kPi - before + 720.0, 360.0);
        const double expected = std::fmod(std::lround((flyer->verticalVelocity + 10.0f) * kDt * 2000.0f), 360.0);
        ASSERT_NEAR(turned, expected, 0.01) << "frame " << i << " at vertical speed " << flyer->verticalVelocity;
        ASSERT_LT(std::abs(diamondYaw()), 2 * kPi);
    }
}

TEST_F(FlyingRabbitTest, ChasesThroughTheAirAndShoots) {
    flyer->timeSinceSeen = 0.0f;
    const glm::vec3 player(400, 5, 390);
    frames(1, player);
    EXPECT_NEAR(flyer->position.z, 400 - 4 * kDt, 1e-4f);
    EXPECT_FLOAT_EQ(flyer->position.x, 400.0f);
    ASSERT_EQ(shotNames.size(), 1u);
    EXPECT_EQ(shotNames[0], "projectile");
}

TEST_F(FlyingRabbitTest, KnockBackIgnoresObstacles) {
    world.addBox("rock", glm::vec3(398, 5, 400), glm::vec3(0.2f, 5.0f, 2.0f));
    flyer->knockedBack = true;
    flyer->knockbackTarget = glm::vec3(396, 5.5f, 400);
    int frame = 0;
    while (flyer->knockedBack && frame < 50) frames(1, glm::vec3(100, 0, 100)), ++frame;
    EXPECT_FALSE(flyer->knockedBack);
    EXPECT_NEAR(flyer->position.x, 396.0f, 1e-4f);
}

}  // namespace
