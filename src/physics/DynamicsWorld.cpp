#include "physics/DynamicsWorld.h"

#include <btBulletDynamicsCommon.h>

DynamicsWorld::DynamicsWorld()
    : configuration(std::make_unique<btDefaultCollisionConfiguration>()),
      collisionDispatcher(std::make_unique<btCollisionDispatcher>(configuration.get())),
      broadphase(std::make_unique<btDbvtBroadphase>()),
      solver(std::make_unique<btSequentialImpulseConstraintSolver>()),
      world(std::make_unique<btDiscreteDynamicsWorld>(collisionDispatcher.get(), broadphase.get(), solver.get(),
                                                      configuration.get())) {
    world->setGravity(btVector3(0, -5, 0));
}

DynamicsWorld::~DynamicsWorld() = default;
