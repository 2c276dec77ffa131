#include "support/PhysicsWorld.h"

#include <algorithm>

namespace testsupport {

PhysicsWorld::PhysicsWorld()
    : configuration(std::make_unique<btDefaultCollisionConfiguration>()),
      dispatcher(std::make_unique<btCollisionDispatcher>(configuration.get())),
      broadphase(std::make_unique<btDbvtBroadphase>()),
      solver(std::make_unique<btSequentialImpulseConstraintSolver>()),
      world(std::make_unique<btDiscreteDynamicsWorld>(dispatcher.get(), broadphase.get(), solver.get(),
                                                      configuration.get())) {
    world->setGravity(btVector3(0, -5, 0));
}

PhysicsWorld::~PhysicsWorld() {
    for (btRigidBody* body : borrowed) world->removeRigidBody(body);
    for (OwnedBox& box : boxes) world->removeRigidBody(box.body.get());
}

btRigidBody* PhysicsWorld::addBox(const std::string& name, const glm::vec3& center, const glm::vec3& halfExtents) {
    tags.emplace_back();
    tags.back().name = name;
    tags.back().position = center;
    OwnedBox box;
    box.shape = std::make_unique<btBoxShape>(btVector3(halfExtents.x, halfExtents.y, halfExtents.z));
    btTransform t;
    t.setIdentity();
    t.setOrigin(btVector3(center.x, center.y, center.z));
    box.motionState = std::make_unique<btDefaultMotionState>(t);
    btRigidBody::btRigidBodyConstructionInfo info(0.0, box.motionState.get(), box.shape.get());
    box.body = std::make_unique<btRigidBody>(info);
    box.body->setUserPointer(&tags.back());
    world->addRigidBody(box.body.get());
    boxes.push_back(std::move(box));
    return boxes.back().body.get();
}

btRigidBody* PhysicsWorld::addGround(const std::string& name, float top) {
    return addBox(name, glm::vec3(400, top - 5, 400), glm::vec3(420, 5, 420));
}

void PhysicsWorld::add(btRigidBody* body) {
    world->addRigidBody(body);
    borrowed.push_back(body);
}

void PhysicsWorld::remove(btRigidBody* body) {
    world->removeRigidBody(body);
    borrowed.erase(std::remove(borrowed.begin(), borrowed.end(), body), borrowed.end());
}

}  // namespace testsupport
