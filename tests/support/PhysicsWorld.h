#pragma once

#include "scene/SceneObject.h"

#include <btBulletDynamicsCommon.h>
#include <glm/glm.hpp>

#include <memory>
#include <string>
#include <vector>

namespace testsupport {

// A dynamics world like the game's (gravity (0, -5, 0)) with named static boxes.
class PhysicsWorld {
public:
    PhysicsWorld();
    ~PhysicsWorld();
    PhysicsWorld(const PhysicsWorld&) = delete;
    PhysicsWorld& operator=(const PhysicsWorld&) = delete;

    // A static box centred at `center` whose user pointer is a scene object called `name`.
    btRigidBody* addBox(const std::string& name, const glm::vec3& center, const glm::vec3& halfExtents);
    // A flat slab with its top face at height `top`, covering the whole playable square.
    btRigidBody* addGround(const std::string& name, float top);
    // Adds a body owned elsewhere; it is removed (not deleted) when this world goes.
    void add(btRigidBody* body);
    void remove(btRigidBody* body);

    btDiscreteDynamicsWorld* get() { return &world; }
    btDiscreteDynamicsWorld* operator->() { return &world; }

private:
    struct Box;
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher{&configuration};
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world{&dispatcher, &broadphase, &solver, &configuration};
    std::vector<std::unique_ptr<Box>> boxes;
    std::vector<btRigidBody*> borrowed;
};

}  // namespace testsupport
