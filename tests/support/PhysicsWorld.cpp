#include "support/PhysicsWorld.h"

#include <algorithm>

namespace testsupport {

struct PhysicsWorld::Box {
    Box(const std::string& name, const glm::vec3& c, const glm::vec3& half)
        : shape(btVector3(half.x, half.y, half.z)),
          motion(btTransform(btQuaternion::getIdentity(), btVector3(c.x, c.y, c.z))) {
        owner.name = name;
        owner.position = c;
        body.setUserPointer(&owner);
    }
    SceneObject owner;
    btBoxShape shape;
    btDefaultMotionState motion;
    btRigidBody body{btRigidBody::btRigidBodyConstructionInfo(0.0, &motion, &shape)};
};

PhysicsWorld::PhysicsWorld() { world.setGravity(btVector3(0, -5, 0)); }

PhysicsWorld::~PhysicsWorld() {
    for (btRigidBody* body : borrowed) world.removeRigidBody(body);
    for (const auto& box : boxes) world.removeRigidBody(&box->body);
}

btRigidBody* PhysicsWorld::addBox(const std::string& name, const glm::vec3& center, const glm::vec3& halfExtents) {
    boxes.push_back(std::make_unique<Box>(name, center, halfExtents));
    world.addRigidBody(&boxes.back()->body);
    return &boxes.back()->body;
}

btRigidBody* PhysicsWorld::addGround(const std::string& name, float top) {
    return addBox(name, glm::vec3(400, top - 5, 400), glm::vec3(420, 5, 420));
}

void PhysicsWorld::add(btRigidBody* body) {
    world.addRigidBody(body);
    borrowed.push_back(body);
}

void PhysicsWorld::remove(btRigidBody* body) {
    world.removeRigidBody(body);
    borrowed.erase(std::remove(borrowed.begin(), borrowed.end(), body), borrowed.end());
}

}  // namespace testsupport
