#pragma once

#include <LinearMath/btScalar.h>

class SceneObject;
class btCollisionObject;
class btCollisionShape;
class btDefaultMotionState;
class btDynamicsWorld;
class btMotionState;
class btRigidBody;
class btTransform;

// Making, removing and freeing the rigid bodies that scene objects own. Every body's user pointer
// is its owner as a SceneObject*, which is how contact and ray handlers find the object's name.
namespace physics {

// A body over `shape` for `owner`: a new default motion state at `start` (handed back through
// `motionState`), mass `mass` and no local inertia, the collision flags `addedFlags` added to the
// default ones, never deactivated when `neverSleeps`. The body joins no world here.
btRigidBody* createBody(SceneObject* owner, btCollisionShape* shape, btScalar mass, const btTransform& start,
                        btDefaultMotionState*& motionState, int addedFlags = 0, bool neverSleeps = false);

// Takes the body out of `world` if it is in a world (a body already out is left alone, so removing
// twice is harmless); rigid bodies leave through removeRigidBody, other objects as plain objects.
void removeFromWorld(btCollisionObject* body, btDynamicsWorld* world);

// Frees the body, then its motion state, then its shape, and returns true. A body still in a world
// would leave that world pointing at freed memory: it is then left alive (leaked, with a null user
// pointer so no handler reads a gone owner), nothing is freed and the result is false.
bool releaseBody(btRigidBody* body, btMotionState* motionState, btCollisionShape* shape);

// The scene object in the body's user pointer; null for a null body or one without an owner.
SceneObject* ownerOf(const btCollisionObject* body);

}  // namespace physics
