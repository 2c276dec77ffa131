#pragma once

// A real dynamics world for physics tests, set up like the game's (gravity (0, -5, 0)), with helpers
// for named static boxes. Bodies added through add() are taken out of the world again before it is
// destroyed, so the objects that own them can be freed in any order afterwards.

#include "game/SceneObject.h"

#include <btBulletDynamicsCommon.h>
#include <glm/glm.hpp>

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

class PhysicsWorld {
public:
    PhysicsWorld();
    ~PhysicsWorld();
    PhysicsWorld(const PhysicsWorld&) = delete;
    PhysicsWorld& operator=(const PhysicsWorld&) = delete;

    // A static box centred at `center` whose user pointer is a scene object called `name` (kept by
    // this world as long as the body).
    btRigidBody* addBox(const std::string& name, const glm::vec3& center, const glm::vec3& halfExtents);
    // A flat slab whose top face lies at height `top`, covering the whole playable square.
    btRigidBody* addGround(const std::string& name, float top);
    // Adds a body owned elsewhere; it is removed (not deleted) when this world goes.
    void add(btRigidBody* body);
    void remove(btRigidBody* body);

    btDiscreteDynamicsWorld* get() { return world.get(); }
    btDiscreteDynamicsWorld* operator->() { return world.get(); }

private:
    struct OwnedBox {
        std::unique_ptr<btBoxShape> shape;
        std::unique_ptr<btDefaultMotionState> motionState;
        std::unique_ptr<btRigidBody> body;
    };

    std::unique_ptr<btDefaultCollisionConfiguration> configuration;
    std::unique_ptr<btCollisionDispatcher> dispatcher;
    std::unique_ptr<btDbvtBroadphase> broadphase;
    std::unique_ptr<btSequentialImpulseConstraintSolver> solver;
    std::unique_ptr<btDiscreteDynamicsWorld> world;
    std::deque<SceneObject> tags;  // stable addresses for the user pointers
    std::vector<OwnedBox> boxes;
    std::vector<btRigidBody*> borrowed;
};

}  // namespace testsupport
