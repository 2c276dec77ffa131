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

}  // namespace
