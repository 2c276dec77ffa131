#include "physics/Bodies.h"

#include "scene/SceneObject.h"
#include "physics/RayQueries.h"
#include "support/PhysicsWorld.h"

#include <gtest/gtest.h>

namespace {

// Under AddressSanitizer a body freed while its world still held it would fail the world's next step.
TEST(Bodies, ABodyStillInAWorldIsKeptAliveWithoutItsOwnerAndFreedOnceOut) {
    testsupport::PhysicsWorld world;
    SceneObject owner;
    owner.name = "crate";
    auto* shape = new btSphereShape(0.5);
    btDefaultMotionState* motion = nullptr;
    btRigidBody* body = physics::createBody(&owner, shape, 1.0, physics::placedAt(glm::vec3(0, 1, 0)), motion,
                                            btCollisionObject::CF_KINEMATIC_OBJECT, true);
    ASSERT_NE(motion, nullptr);
    world->addRigidBody(body);
    EXPECT_EQ(physics::dropDown(world.get(), glm::vec3(0, 5, 0), 10).owner, &owner);

    EXPECT_FALSE(physics::releaseBody(body, motion, shape));
    EXPECT_EQ(physics::ownerOf(body), nullptr) << "handlers must not reach the gone owner";
    world->stepSimulation(1.0 / 60.0, 10, 1.0 / 60.0);
    EXPECT_TRUE(physics::dropDown(world.get(), glm::vec3(0, 5, 0), 10).hit);

    physics::removeFromWorld(body, world.get());
    physics::removeFromWorld(body, world.get());  // a second removal is harmless
    EXPECT_EQ(world->getNumCollisionObjects(), 0);
    EXPECT_TRUE(physics::releaseBody(body, motion, shape));
    physics::removeFromWorld(nullptr, world.get());
}

// Bullet puts bodies that stand still for two seconds to sleep, and a sleeping kinematic body no longer
// follows its motion state: the owner would walk on without its body.
TEST(Bodies, AKinematicBodyThatNeverSleepsFollowsItsOwnerAfterStandingStill) {
    testsupport::PhysicsWorld world;
    SceneObject owner;
    auto* shape = new btSphereShape(0.5);
    btDefaultMotionState* motion = nullptr;
    btRigidBody* body = physics::createBody(&owner, shape, 1.0, physics::placedAt(glm::vec3(0, 1, 0)), motion,
                                            btCollisionObject::CF_KINEMATIC_OBJECT, true);
    world->addRigidBody(body);
    for (int step = 0; step < 240; ++step) world->stepSimulation(1.0 / 60.0, 1, 1.0 / 60.0);
    motion->setWorldTransform(physics::placedAt(glm::vec3(5, 1, 0)));
    world->stepSimulation(1.0 / 60.0, 1, 1.0 / 60.0);
    EXPECT_EQ(body->getWorldTransform().getOrigin(), btVector3(5, 1, 0));
    physics::removeFromWorld(body, world.get());
    physics::releaseBody(body, motion, shape);
}

}  // namespace
