#include "game/GameEntity.h"

#include "support/PhysicsWorld.h"
#include "support/Near.h"

#include <gtest/gtest.h>

namespace {

using testsupport::near;

// A walker on flat terrain (top at y = 0) near the middle of the map, with its own body in the world.
class GameEntityTest : public ::testing::Test {
protected:
    GameEntityTest() {
        world.addGround("terrain", 0.0f);
        world.add(entity.rigidBody);
        place(glm::vec3(100, 0, 100));
    }
    void place(const glm::vec3& p, float vertical = 0.0f) {
        entity.setPosition(p);
        entity.verticalVelocity = vertical;
        entity.syncFromBody();
        world->stepSimulation(1.0 / 60.0, 10, 1.0 / 60.0);  // the kinematic body takes its place
    }
    // A wall across the way ahead (along -z), its near face `distance` away.
    void wallAhead(const std::string& name, float distance) {
        const glm::vec3 p = entity.position;
        world.addBox(name, glm::vec3(p.x, p.y + 1, p.z - distance - 0.25f), glm::vec3(3, 3, 0.25f));
    }
    glm::vec3 step(float forward, float sideways, bool waterAllowed = true) {
        entity.move(forward, sideways, entity.verticalVelocity, waterAllowed, world.get(), 0.1f);
        return entity.position;
    }
    bool blocked(const glm::vec3& by) {
        return entity.isPathBlocked(entity.position, entity.position + by, world.get());
    }

    GameEntity entity;  // declared before the world, which lets go of its body first
    testsupport::PhysicsWorld world;
};

TEST_F(GameEntityTest, ProbesFindTheGroundAndCloseSolidObstacles) {
    glm::vec3 hit(0);
    EXPECT_TRUE(entity.isGroundBelow(glm::vec3(50, 1.4f, 50), world.get(), hit));  // 2 down from 0.5 up
    EXPECT_TRUE(near(hit, glm::vec3(50, 0, 50)));
    EXPECT_FALSE(entity.isGroundBelow(glm::vec3(50, 1.6f, 50), world.get(), hit));
    place(glm::vec3(100, 1.2f, 100));  // its own sphere sits right under the probe's start
    ASSERT_TRUE(entity.isGroundBelow(entity.position, world.get(), hit));
    EXPECT_NEAR(hit.y, 0.0f, 1e-4f);

    place(glm::vec3(100, 0, 100));
    wallAhead("rock", 0.8f);
    EXPECT_TRUE(blocked(glm::vec3(0, 5, -0.5f)));  // the height of the target does not matter
    EXPECT_FALSE(blocked(glm::vec3(0, 0, 0.5f)));
    EXPECT_FALSE(blocked(glm::vec3(0, 3, -0.0009f)));  // a tiny step
    place(glm::vec3(100, 0, 100.2f));                  // the wall is now 1.0 away
    EXPECT_FALSE(blocked(glm::vec3(0, 0, -0.5f)));

    world.addBox("item", glm::vec3(200, 1, 199.5f), glm::vec3(0.3f));
    world.addBox("fountain", glm::vec3(300, 1, 299.5f), glm::vec3(0.3f));
    for (float x : {200.0f, 300.0f}) {
        place(glm::vec3(x, 0, x));
        EXPECT_FALSE(blocked(glm::vec3(0, 0, -1))) << "items and fountains never block";
    }
}

TEST_F(GameEntityTest, WalksAlongItsOwnAxesInsideThePlayableSquare) {
    EXPECT_TRUE(near(step(-1, 0), glm::vec3(100, 0, 99)));  // its own body never gets in the way
    EXPECT_TRUE(entity.grounded);
    entity.setRotation(glm::vec3(0, 1.5707964f, 0));  // a quarter turn to the left
    EXPECT_TRUE(near(step(-1, 0.5f), glm::vec3(99, 0, 98.5f)));
    entity.setRotation(glm::vec3(0));

    place(glm::vec3(0.5f, 0, 800));
    EXPECT_TRUE(near(step(0, 0), glm::vec3(1, 0, 761)));
    place(glm::vec3(761, 0, 1));
    EXPECT_TRUE(near(step(-1, 1), glm::vec3(761, 0, 1)));

    place(glm::vec3(100, 1, 100), -2.0f);
    wallAhead("rock", 0.5f);
    EXPECT_TRUE(near(step(-1, 0), glm::vec3(100, 0.8f, 100))) << "a blocked step keeps only its vertical part";
}

TEST_F(GameEntityTest, LandsOnTheGroundEvenFromALongFallOrFallsFreely) {
    place(glm::vec3(100, 0.2f, 100), -3.0f);
    EXPECT_TRUE(near(step(0, 0), glm::vec3(100, 0, 100)));
    EXPECT_TRUE(entity.grounded);
    EXPECT_EQ(entity.verticalVelocity, 0.0f);

    place(glm::vec3(100, 2, 100), -60.0f);  // a slow frame falls from 2 above the ground to 4 below it
    EXPECT_TRUE(near(step(0, 0), glm::vec3(100, 0, 100)));
    EXPECT_TRUE(entity.grounded);

    place(glm::vec3(100, 10, 100), -3.0f);
    EXPECT_TRUE(near(step(0, 0), glm::vec3(100, 9.7f, 100)));
    EXPECT_FALSE(entity.grounded);
    EXPECT_EQ(entity.verticalVelocity, -3.0f);
}

TEST_F(GameEntityTest, WalkersThatMustStayDryStopAtTheShoreAndOnBanks) {
    world.addBox("water", glm::vec3(100, 0.05f, 98.5f), glm::vec3(5, 0.1f, 1));  // a tile just ahead
    place(glm::vec3(100, 0, 100), -1.0f);
    EXPECT_TRUE(near(step(-1, 0, false), glm::vec3(100, 0, 100)));
    EXPECT_EQ(entity.verticalVelocity, -1.0f) << "not even the vertical part happens";
    EXPECT_TRUE(near(step(-1, 0, true), glm::vec3(100, 0.15f, 99)));

    world.addBox("rock", glm::vec3(300, 5, 300.5f), glm::vec3(5, 5, 1));        // top at 10, ends at z 299.5
    world.addBox("water", glm::vec3(300, 3.95f, 295), glm::vec3(5, 0.05f, 5));  // the lake, 6 below the bank
    place(glm::vec3(300, 10, 300));
    EXPECT_TRUE(near(step(-1, 0, false), glm::vec3(300, 10, 300)));
    EXPECT_TRUE(near(step(-1, 0, true), glm::vec3(300, 10, 299)));
    EXPECT_FALSE(entity.grounded);
}

}  // namespace
