#include "objects/GameObject.h"

#include "objects/GameEntity.h"
#include "scene/ObjectTags.h"
#include "scene/SceneObject.h"
#include "physics/Bodies.h"
#include "physics/BulletMath.h"
#include "render/TexturedMesh.h"
#include "support/Near.h"
#include "support/PhysicsWorld.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using testsupport::near;

constexpr float kHalfPi = 1.5707964f;

// A game object with a small dynamic sphere body at `at`, the way shots and items get theirs.
void giveBody(GameObject& object, const glm::vec3& at, const glm::vec3& angles = glm::vec3(0.0f)) {
    const glm::mat4 r = SceneObject::rotationMatrix(angles);
    const btMatrix3x3 basis(r[0][0], r[1][0], r[2][0], r[0][1], r[1][1], r[2][1], r[0][2], r[1][2], r[2][2]);
    object.collisionShape = new btSphereShape(0.2);
    object.rigidBody = physics::createBody(&object, object.collisionShape, 1.0,
                                           btTransform(basis, physics::toBullet(at)), object.motionState);
}

TEST(GameObject, AKinematicBodyFollowsTheObjectUnturnedAndABodyDrivenObjectFollowsItsBody) {
    GameObject kinematic;  // declared first so the world, which holds its body, goes first
    testsupport::PhysicsWorld world;
    giveBody(kinematic, glm::vec3(0));
    kinematic.rigidBody->setCollisionFlags(btCollisionObject::CF_KINEMATIC_OBJECT);
    world.add(kinematic.rigidBody);
    kinematic.bodyOffset = glm::vec3(0, 1, 0);
    kinematic.setTransform(glm::vec3(3, 4, 5), glm::vec3(0.2f, 1.0f, 0), glm::vec3(1.0f));
    kinematic.syncFromBody();
    world->stepSimulation(1.0 / 60.0, 10, 1.0 / 60.0);
    EXPECT_TRUE(near(kinematic.rigidBody->getWorldTransform().getOrigin(), glm::vec3(3, 5, 5)));
    EXPECT_NEAR(kinematic.rigidBody->getWorldTransform().getRotation().getAngle(), 0.0, 1e-6);
    EXPECT_TRUE(near(kinematic.position, glm::vec3(3, 4, 5)));

    GameObject driven;
    auto mesh = std::make_shared<TexturedMesh>();
    driven.addMesh(mesh);
    EXPECT_TRUE(near(mesh->rotation, glm::vec3(-kHalfPi, 0, 0))) << "meshes are stood up from z-up files";
    const glm::vec3 angles(0.3f, -0.4f, 1.1f);
    giveBody(driven, glm::vec3(7, 8, 9), angles);
    driven.bodyDriven = true;
    driven.bodyOffset = glm::vec3(0, 0.5f, 0);
    driven.syncFromBody();
    EXPECT_TRUE(near(driven.position, glm::vec3(7, 7.5f, 9)));
    EXPECT_TRUE(near(mesh->position, glm::vec3(7, 7.5f, 9)));
    EXPECT_TRUE(near(driven.rotation, angles));
    // Near a quarter turn about y the angles snap to it rather than turning into NaN.
    GameObject turned;
    giveBody(turned, glm::vec3(0), glm::vec3(0, -kHalfPi + 1e-4f, 0));
    turned.bodyDriven = true;
    turned.syncFromBody();
    EXPECT_FLOAT_EQ(turned.rotation.y, -kHalfPi);
    EXPECT_TRUE(std::isfinite(turned.rotation.x) && std::isfinite(turned.rotation.z));
}

// A parent at (1, 0, 0) with a child 2 units along -z from it; null children are skipped everywhere.
struct Family {
    SceneObject parent, child;
    Family() {
        parent.position = glm::vec3(1, 0, 0);
        child.position = glm::vec3(1, 0, -2);
        child.scale = glm::vec3(0.5f);
        child.parent = &parent;
        parent.children = {&child, nullptr};
    }
};

TEST(SceneObject, ChildrenFollowTheirParentsMovesTurnsScalesAndHiding) {
    Family moved, turned, scaled, all;
    moved.parent.setPosition(glm::vec3(4, 2, 0));
    EXPECT_TRUE(near(moved.child.position, glm::vec3(4, 2, -2)));
    turned.parent.setRotation(glm::vec3(0, kHalfPi, 0));  // a quarter turn about +y takes -z to -x
    EXPECT_TRUE(near(turned.child.position, glm::vec3(-1, 0, 0)));
    EXPECT_TRUE(near(turned.child.rotation, glm::vec3(0, kHalfPi, 0)));
    scaled.parent.setScale(glm::vec3(3.0f));  // absolute, where setTransform adds the difference
    EXPECT_TRUE(near(scaled.child.scale, glm::vec3(3.0f)));
    all.parent.setTransform(glm::vec3(2, 0, 0), glm::vec3(0, kHalfPi, 0), glm::vec3(3.0f));
    EXPECT_TRUE(near(all.child.scale, glm::vec3(2.5f)));
    EXPECT_TRUE(near(all.child.position, glm::vec3(0, 0, 0))) << "moved first, then orbiting the new place";
    all.parent.setVisible(false);
    EXPECT_FALSE(all.child.visible);
}

TEST(SceneObject, TurnsAroundAPointInItsParentsFrameAndComposesScaleTurnsAndMove) {
    // Behind a parent facing -x, a pitch tilts about world z: the child stays in the x-y plane.
    SceneObject parent, child;
    parent.rotation = glm::vec3(0, kHalfPi, 0);
    child.parent = &parent;
    child.rotation = glm::vec3(0, kHalfPi, 0);
    child.position = glm::vec3(5, 0, 0);
    child.rotateAround(glm::vec3(0.0f), glm::vec3(0.3f, 0, 0));
    EXPECT_TRUE(near(glm::vec3(child.position.x, std::abs(child.position.y), child.position.z),
                     glm::vec3(5 * std::cos(0.3f), 5 * std::sin(0.3f), 0)));
    EXPECT_NEAR(child.rotation.x, 0.3f, 1e-6f);
    // (0, 1, 0) scaled to (0, 2, 0); Rx(90) takes it to (0, 0, 2); Rz(90) leaves z; then the move.
    SceneObject o;
    o.position = glm::vec3(10, 0, 0);
    o.rotation = glm::vec3(kHalfPi, 0, kHalfPi);
    o.scale = glm::vec3(2.0f);
    EXPECT_TRUE(near(glm::vec3(o.getModelMatrix() * glm::vec4(0, 1, 0, 1)), glm::vec3(10, 0, 2)));
}

// A walker on flat terrain (top at y = 0) with its own body in the world.
class GameEntityTest : public ::testing::Test {
protected:
    GameEntityTest() {
        world.addGround(tags::kTerrain, 0.0f);
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

    world.addBox(tags::kItem, glm::vec3(200, 1, 199.5f), glm::vec3(0.3f));
    world.addBox(tags::kFountain, glm::vec3(300, 1, 299.5f), glm::vec3(0.3f));
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
    world.addBox(tags::kWater, glm::vec3(100, 0.05f, 98.5f), glm::vec3(5, 0.1f, 1));  // a tile just ahead
    place(glm::vec3(100, 0, 100), -1.0f);
    EXPECT_TRUE(near(step(-1, 0, false), glm::vec3(100, 0, 100)));
    EXPECT_EQ(entity.verticalVelocity, -1.0f) << "not even the vertical part happens";
    EXPECT_TRUE(near(step(-1, 0, true), glm::vec3(100, 0.15f, 99)));

    world.addBox("rock", glm::vec3(300, 5, 300.5f), glm::vec3(5, 5, 1));             // top at 10, ends at z 299.5
    world.addBox(tags::kWater, glm::vec3(300, 3.95f, 295), glm::vec3(5, 0.05f, 5));  // the lake, 6 below the bank
    place(glm::vec3(300, 10, 300));
    EXPECT_TRUE(near(step(-1, 0, false), glm::vec3(300, 10, 300)));
    EXPECT_TRUE(near(step(-1, 0, true), glm::vec3(300, 10, 299)));
    EXPECT_FALSE(entity.grounded);
}

// The cat's walk: into a wall at 45 degrees it keeps 0.71 of its speed along the wall and never
// passes it; it steps up onto a ledge below its obstacle probe; a jump under rock stops at the rock.
TEST_F(GameEntityTest, SlidersSlideAlongWallsStepOntoLedgesAndStopRisingUnderRock) {
    entity.slides = true;
    world.addBox("rock", glm::vec3(100, 3, 98.75f), glm::vec3(20, 3, 0.25f));  // its face at z = 99
    entity.setRotation(glm::vec3(0, 0.78539816f, 0));                          // walking towards -x and -z
    for (int i = 0; i < 5; ++i) step(-1, 0);
    const glm::vec3 before = entity.position;
    for (int i = 0; i < 5; ++i) step(-1, 0);
    EXPECT_NEAR(entity.position.x - before.x, -5.0f * 0.70710678f, 0.02f);
    EXPECT_NEAR(entity.position.z, before.z, 1e-4f);
    EXPECT_GT(entity.position.z, 99.0f);

    world.addBox("rock", glm::vec3(200, 0.35f, 197), glm::vec3(3, 0.35f, 2));  // 0.7 high from z = 199
    entity.setRotation(glm::vec3(0.0f));
    place(glm::vec3(200, 0, 200));
    for (int i = 0; i < 3; ++i) step(-1, 0);
    EXPECT_TRUE(near(entity.position, glm::vec3(200, 0.7f, 197)));

    world.addBox(tags::kTerrain, glm::vec3(300, 2.8f, 300), glm::vec3(3, 0.5f, 3));  // its underside 2.3 up
    place(glm::vec3(300, 0, 300));
    float highest = 0.0f;
    for (int i = 0; i < 10; ++i) {
        entity.verticalVelocity = 3.0f;  // space held
        highest = std::max(highest, step(0, 0).y);
    }
    EXPECT_GT(highest, 0.0f);
    EXPECT_LE(highest + GameEntity::kHeadHeight, 2.3f);
}

}  // namespace
