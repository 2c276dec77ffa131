#include "physics/Bodies.h"

#include "scene/SceneObject.h"

#include <btBulletDynamicsCommon.h>

namespace physics {

btRigidBody* createBody(SceneObject* owner, btCollisionShape* shape, btScalar mass, const btTransform& start,
                        btDefaultMotionState*& motionState, int addedFlags, bool neverSleeps) {
    motionState = new btDefaultMotionState(start);
    btRigidBody::btRigidBodyConstructionInfo info(mass, motionState, shape, btVector3(0, 0, 0));
    auto* body = new btRigidBody(info);
    if (addedFlags != 0) body->setCollisionFlags(body->getCollisionFlags() | addedFlags);
    if (neverSleeps) body->setActivationState(DISABLE_DEACTIVATION);
    body->setUserPointer(owner);
    return body;
}

void removeFromWorld(btCollisionObject* body, btDynamicsWorld* world) {
    if (!body || !world || !body->getBroadphaseHandle()) return;
    if (btRigidBody* rigid = btRigidBody::upcast(body)) {
        world->removeRigidBody(rigid);
    } else {
        world->removeCollisionObject(body);
    }
}

bool releaseBody(btRigidBody* body, btMotionState* motionState, btCollisionShape* shape) {
    if (body && body->getBroadphaseHandle()) {
        body->setUserPointer(nullptr);
        return false;
    }
    // The body refers to the motion state and the shape, so it goes first.
    delete body;
    delete motionState;
    delete shape;
    return true;
}

SceneObject* ownerOf(const btCollisionObject* body) {
    return body ? static_cast<SceneObject*>(body->getUserPointer()) : nullptr;
}

}  // namespace physics
