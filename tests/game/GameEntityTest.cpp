#include "game/GameEntity.h"

#include "support/PhysicsWorld.h"

#include <gtest/gtest.h>

namespace {

constexpr float kDt = 0.1f;

void expectNear(const glm::vec3& a, const glm::vec3& b, float eps = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

// An entity standing on flat terrain (top at y = 0) near the middle of the map, with its own body in
// the world as in the game.
class GameEntityTest : public ::testing::Test {
protected:
    GameEntityTest() {
        world.addGround("terrain", 0.0f);
        world.add(entity.rigidBody);
        place(glm::vec3(100, 0, 100));
    }
    void place(const glm::vec3& p) {
        entity.setPosition(p);
        entity.syncFromBody();
        world->stepSimulation(1.0 / 60.0, 10, 1.0 / 60.0);  // the kinematic body takes its place
    }
    void wallAhead(const std::string& name, float distance) {  // in front of the entity, along -z
        const glm::vec3 p = entity.position;
        world.addBox(name, glm::vec3(p.x, p.y + 1, p.z - distance - 0.25f), glm::vec3(3, 3, 0.25f));
    }
    glm::vec3 step(float forward, float sideways, bool waterAllowed = true) {
        entity.move(forward, sideways, entity.verticalVelocity, waterAllowed, world.get(), kDt);
        return entity.position;
    }

    GameEntity entity;  // declared before the world, which lets go of its body first
    testsupport::PhysicsWorld world;
};

TEST_F(GameEntityTest, BodyIsAKinematicSpherePointingBackAtTheEntity) {
    const btRigidBody* body = entity.rigidBody;
    EXPECT_TRUE(body->isKinematicObject());
    EXPECT_EQ(body->getActivationState(), DISABLE_DEACTIVATION);
    EXPECT_EQ(body->getUserPointer(), static_cast<SceneObject*>(&entity));
    ASSERT_EQ(body->getCollisionShape()->getShapeType(), SPHERE_SHAPE_PROXYTYPE);
    EXPECT_DOUBLE_EQ(static_cast<const btSphereShape*>(body->getCollisionShape())->getRadius(), 0.5);
}

TEST_F(GameEntityTest, GroundProbeReachesTwoUnitsBelowHalfAUnitUp) {
    glm::vec3 hit(0);
    EXPECT_TRUE(entity.isGroundBelow(glm::vec3(50, 1.4f, 50), world.get(), hit));
    expectNear(hit, glm::vec3(50, 0, 50));
    EXPECT_FALSE(entity.isGroundBelow(glm::vec3(50, 1.6f, 50), world.get(), hit));
}

TEST_F(GameEntityTest, ObstacleProbeBlocksOnlyCloseSolidThings) {
    const glm::vec3 from = entity.position;
    const glm::vec3 ahead = from + glm::vec3(0, 5, -0.5f);  // the height of the target does not matter
    wallAhead("rock", 0.8f);
    EXPECT_TRUE(entity.isPathBlocked(from, ahead, world.get()));
    EXPECT_FALSE(entity.isPathBlocked(from, from + glm::vec3(0, 0, 0.5f), world.get()));      // walking away
    EXPECT_FALSE(entity.isPathBlocked(from, from + glm::vec3(0, 3, -0.0009f), world.get()));  // tiny step

    place(from + glm::vec3(0, 0, 0.2f));  // the wall is now 1.0 away
    EXPECT_FALSE(entity.isPathBlocked(entity.position, entity.position + glm::vec3(0, 0, -0.5f), world.get()));
}

TEST_F(GameEntityTest, ItemsAndFountainsNeverBlock) {
    for (const char* name : {"item", "fountain"}) {
        testsupport::PhysicsWorld fresh;
        fresh.addGround("terrain", 0.0f);
        const glm::vec3 p = entity.position;
        fresh.addBox(name, glm::vec3(p.x, 1, p.z - 0.5f), glm::vec3(0.3f));
        EXPECT_FALSE(entity.isPathBlocked(p, p + glm::vec3(0, 0, -1), fresh.get())) << name;
    }
}

TEST_F(GameEntityTest, WalksAlongItsOwnAxesOverTheGround) {
    expectNear(step(-1, 0), glm::vec3(100, 0, 99));  // its own body never gets in the way
    EXPECT_TRUE(entity.grounded);
    entity.setRotation(glm::vec3(0, 1.5707964f, 0));  // a quarter turn to the left
    expectNear(step(-1, 0.5f), glm::vec3(99, 0, 98.5f));
}

TEST_F(GameEntityTest, BlockedStepKeepsOnlyTheVerticalPart) {
    place(glm::vec3(100, 1, 100));
    wallAhead("rock", 0.5f);
    entity.verticalVelocity = -2.0f;
    expectNear(step(-1, 0), glm::vec3(100, 0.8f, 100));
}

TEST_F(GameEntityTest, StaysInsideThePlayableSquare) {
    place(glm::vec3(0.5f, 0, 800));
    expectNear(step(0, 0), glm::vec3(1, 0, 761));
    place(glm::vec3(761, 0, 1));
    expectNear(step(-1, 1), glm::vec3(761, 0, 1));
}

TEST_F(GameEntityTest, StopsAtTheShoreUnlessWaterIsAllowed) {
    world.addBox("water", glm::vec3(100, 0.05f, 98.5f), glm::vec3(5, 0.1f, 1));  // a tile just ahead
    entity.verticalVelocity = -1.0f;
    expectNear(step(-1, 0, false), glm::vec3(100, 0, 100));
    EXPECT_FLOAT_EQ(entity.verticalVelocity, -1.0f);  // not even the vertical part happens
    expectNear(step(-1, 0, true), glm::vec3(100, 0.15f, 99));
}

TEST_F(GameEntityTest, AWalkerThatMustStayDryDoesNotStepOffABankAboveWater) {
    world.addBox("rock", glm::vec3(100, 5, 100.5f), glm::vec3(5, 5, 1));       // top at 10, ends at z 99.5
    world.addBox("water", glm::vec3(100, 3.95f, 95), glm::vec3(5, 0.05f, 5));  // the lake, 6 below the bank
    place(glm::vec3(100, 10, 100));
    expectNear(step(-1, 0, false), glm::vec3(100, 10, 100));
    expectNear(step(-1, 0, true), glm::vec3(100, 10, 99));
    EXPECT_FALSE(entity.grounded);
}

TEST_F(GameEntityTest, LandsOnTheGroundOrFallsFreely) {
    place(glm::vec3(100, 0.2f, 100));
    entity.verticalVelocity = -3.0f;
    expectNear(step(0, 0), glm::vec3(100, 0, 100));
    EXPECT_FLOAT_EQ(entity.verticalVelocity, 0.0f);
    EXPECT_TRUE(entity.grounded);

    place(glm::vec3(100, 10, 100));
    entity.verticalVelocity = -3.0f;
    expectNear(step(0, 0), glm::vec3(100, 9.7f, 100));
    EXPECT_FALSE(entity.grounded);
    EXPECT_FLOAT_EQ(entity.verticalVelocity, -3.0f);
}

TEST_F(GameEntityTest, ALongFallingStepStillLandsOnTheGround) {
    // A slow frame: one step falls 6 units, from 2 above the ground to 4 below it.
    place(glm::vec3(100, 2, 100));
    entity.verticalVelocity = -60.0f;
    expectNear(step(0, 0), glm::vec3(100, 0, 100));
    EXPECT_TRUE(entity.grounded);
    EXPECT_FLOAT_EQ(entity.verticalVelocity, 0.0f);
}

TEST_F(GameEntityTest, GroundProbeNeverReportsTheEntitysOwnBody) {
    // Its own sphere sits right under the probe's start when the entity hovers; only the ground counts.
    place(glm::vec3(100, 1.2f, 100));
    glm::vec3 hit(0.0f);
    ASSERT_TRUE(entity.isGroundBelow(entity.position, world.get(), hit));
    EXPECT_NEAR(hit.y, 0.0f, 1e-4f);
}

}  // namespace
