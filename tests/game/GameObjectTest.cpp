#include "game/GameObject.h"

#include "render/TexturedMesh.h"
#include "support/Near.h"
#include "support/PhysicsWorld.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using testsupport::near;

constexpr float kHalfPi = 1.5707964f;

glm::vec3 originOf(const btRigidBody* body) {
    const btVector3& o = body->getWorldTransform().getOrigin();
    return glm::vec3(o.x(), o.y(), o.z());
}

// A game object with a small dynamic sphere body at `at`, the way shots and items get theirs.
void giveBody(GameObject& object, const glm::vec3& at, const glm::vec3& angles = glm::vec3(0.0f)) {
    const glm::mat4 r = SceneObject::rotationMatrix(angles);
    const btMatrix3x3 basis(r[0][0], r[1][0], r[2][0], r[0][1], r[1][1], r[2][1], r[0][2], r[1][2], r[2][2]);
    object.collisionShape = new btSphereShape(0.2);
    object.motionState = new btDefaultMotionState(btTransform(basis, btVector3(at.x, at.y, at.z)));
    object.rigidBody =
        new btRigidBody(btRigidBody::btRigidBodyConstructionInfo(1.0, object.motionState, object.collisionShape));
    object.rigidBody->setUserPointer(static_cast<SceneObject*>(&object));
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
    EXPECT_TRUE(near(originOf(kinematic.rigidBody), glm::vec3(3, 5, 5)));
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

}  // namespace
