#include "game/GameObject.h"

#include "render/TexturedMesh.h"
#include "support/PhysicsWorld.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kHalfPi = 1.5707964f;

glm::vec3 toGlm(const btVector3& v) { return glm::vec3(v.x(), v.y(), v.z()); }

void expectNear(const glm::vec3& a, const glm::vec3& b, float eps = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

// A game object given a small dynamic sphere body, the way shots and items get theirs.
void giveBody(GameObject& object, const glm::vec3& at) {
    btTransform t;
    t.setIdentity();
    t.setOrigin(btVector3(at.x, at.y, at.z));
    object.collisionShape = new btSphereShape(0.2);
    object.motionState = new btDefaultMotionState(t);
    btRigidBody::btRigidBodyConstructionInfo info(1.0, object.motionState, object.collisionShape);
    object.rigidBody = new btRigidBody(info);
    object.rigidBody->setUserPointer(static_cast<SceneObject*>(&object));
}

void setBodyPose(GameObject& object, const glm::vec3& origin, const glm::mat4& rotation) {
    btMatrix3x3 basis;
    for (int r = 0; r < 3; ++r) basis[r] = btVector3(rotation[0][r], rotation[1][r], rotation[2][r]);
    object.rigidBody->setWorldTransform(btTransform(basis, btVector3(origin.x, origin.y, origin.z)));
}

TEST(GameObjectSync, KinematicBodyFollowsTheObjectWithoutRotation) {
    GameObject object;  // declared first so the world, which holds its body, goes first
    testsupport::PhysicsWorld world;
    giveBody(object, glm::vec3(0));
    object.rigidBody->setCollisionFlags(object.rigidBody->getCollisionFlags() | btCollisionObject::CF_KINEMATIC_OBJECT);
    world.add(object.rigidBody);
    object.bodyOffset = glm::vec3(0, 1, 0);
    object.setPosition(glm::vec3(3, 4, 5));
    object.setRotation(glm::vec3(0.2f, 1.0f, 0));

    object.syncFromBody();
    world->stepSimulation(1.0 / 60.0, 10, 1.0 / 60.0);

    const btTransform& t = object.rigidBody->getWorldTransform();
    expectNear(toGlm(t.getOrigin()), glm::vec3(3, 5, 5));
    EXPECT_NEAR(t.getRotation().getAngle(), 0.0, 1e-6);
    expectNear(object.position, glm::vec3(3, 4, 5));  // the object is not pulled back by the body
}

TEST(GameObjectSync, BodyDrivenObjectTakesPoseFromTheBody) {
    GameObject object;
    SceneObject child;  // follows the object like an attached mesh
    object.children.push_back(&child);
    giveBody(object, glm::vec3(0));
    object.bodyDriven = true;
    object.bodyOffset = glm::vec3(0, 0.5f, 0);
    const glm::vec3 angles(0.3f, -0.4f, 1.1f);
    setBodyPose(object, glm::vec3(7, 8, 9), SceneObject::rotationMatrix(angles));

    object.syncFromBody();

    expectNear(object.position, glm::vec3(7, 7.5f, 9));
    expectNear(object.rotation, angles);
    expectNear(child.position, glm::vec3(7, 7.5f, 9));
}

TEST(GameObjectSync, QuarterTurnAboutYGivesAFiniteTriple) {
    for (float sign : {1.0f, -1.0f}) {
        GameObject object;
        giveBody(object, glm::vec3(0));
        object.bodyDriven = true;
        setBodyPose(object, glm::vec3(0), SceneObject::rotationMatrix(glm::vec3(0, sign * (kHalfPi - 1e-4f), 0)));

        object.syncFromBody();

        EXPECT_TRUE(std::isfinite(object.rotation.x) && std::isfinite(object.rotation.z));
        EXPECT_FLOAT_EQ(object.rotation.y, sign * kHalfPi);
    }
}

TEST(GameObjectPlaceOnGround, DropsOntoTheGroundAndMovesADrivenBody) {
    testsupport::PhysicsWorld world;
    world.addGround("terrain", 3.0f);
    GameObject object;
    giveBody(object, glm::vec3(0, 99, 0));
    object.bodyDriven = true;
    object.setPosition(glm::vec3(10, 50, 10));

    object.placeOnGround(world.get());

    expectNear(object.position, glm::vec3(10, 3, 10));
    expectNear(toGlm(object.rigidBody->getWorldTransform().getOrigin()), glm::vec3(10, 3, 10));
}

TEST(GameObjectPlaceOnGround, GroundOutOfReachChangesNothing) {
    testsupport::PhysicsWorld world;
    world.addGround("terrain", 3.0f);
    GameObject object;
    object.setPosition(glm::vec3(10, 104, 10));  // the probe ends 1 above the ground
    object.placeOnGround(world.get());
    expectNear(object.position, glm::vec3(10, 104, 10));
}

TEST(GameObjectMeshes, AddedMeshIsTurnedUprightAndFollowsTheObject) {
    GameObject object;
    auto mesh = std::make_shared<TexturedMesh>();
    object.addMesh(mesh);
    ASSERT_EQ(object.meshes.size(), 1u);
    EXPECT_EQ(mesh->parent, &object);
    expectNear(mesh->rotation, glm::vec3(-kHalfPi, 0, 0));

    object.setPosition(glm::vec3(2, 0, 0));
    expectNear(mesh->position, glm::vec3(2, 0, 0));
}

TEST(GameObjectLifetime, DyingWhileItsBodyIsInAWorldLeavesTheWorldUsable) {
    testsupport::PhysicsWorld world;
    auto object = std::make_unique<GameObject>();
    giveBody(*object, glm::vec3(0, 10, 0));
    btRigidBody* body = object->rigidBody;
    world->addRigidBody(body);

    testing::internal::CaptureStderr();
    object.reset();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("still in a physics world"), std::string::npos);

    EXPECT_EQ(body->getUserPointer(), nullptr);  // handlers see an anonymous body, not freed memory
    world->stepSimulation(1.0 / 60.0);
    world->removeRigidBody(body);
    delete body->getMotionState();
    delete body->getCollisionShape();
    delete body;
}

}  // namespace
