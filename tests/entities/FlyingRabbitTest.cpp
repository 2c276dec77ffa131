#include "entities/FlyingRabbit.h"

#include "render/TexturedMesh.h"
#include "support/PhysicsWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr float kDt = 0.02f;
constexpr double kDegrees = 180.0 / 3.14159265358979323846;
const glm::vec3 kFarAway(100, 0, 100);

// A flying rabbit with three plain meshes (diamond, body, eyes) at (400, 5, 400) over flat ground.
class FlyingRabbitTest : public ::testing::Test {
protected:
    FlyingRabbitTest() {
        std::srand(11);
        world.addGround("terrain", 0.0f);
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
