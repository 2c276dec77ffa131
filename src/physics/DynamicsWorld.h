#pragma once

#include <memory>

class btBroadphaseInterface;
class btCollisionDispatcher;
class btDefaultCollisionConfiguration;
class btDiscreteDynamicsWorld;
class btSequentialImpulseConstraintSolver;

// A Bullet world as the game runs it: the default collision configuration, a dispatcher over it (also
// the source of the contact manifolds the rules read), a dynamic-tree broadphase, the sequential
// impulse solver, and a gravity of (0, -5, 0). A new one starts with nothing in it, which is what
// makes two worlds built the same way behave the same way. Bodies still in it when it goes are
// detached by Bullet; their owners free them.
class DynamicsWorld {
public:
    DynamicsWorld();
    ~DynamicsWorld();
    DynamicsWorld(const DynamicsWorld&) = delete;
    DynamicsWorld& operator=(const DynamicsWorld&) = delete;

    btDiscreteDynamicsWorld* get() const { return world.get(); }
    btCollisionDispatcher* dispatcher() const { return collisionDispatcher.get(); }

private:
    // Declared so that they go in the order the world needs: the world first, the configuration last.
    std::unique_ptr<btDefaultCollisionConfiguration> configuration;
    std::unique_ptr<btCollisionDispatcher> collisionDispatcher;
    std::unique_ptr<btBroadphaseInterface> broadphase;
    std::unique_ptr<btSequentialImpulseConstraintSolver> solver;
    std::unique_ptr<btDiscreteDynamicsWorld> world;
};
