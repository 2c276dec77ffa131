#include "entities/Projectile.h"

#include "physics/Bodies.h"

#include <btBulletDynamicsCommon.h>

void Projectile::createBody(float radius) {
    setScale(glm::vec3(radius));
    collisionShape = new btSphereShape(radius);
    rigidBody = physics::createBody(this, collisionShape, kMass, btTransform::getIdentity(), motionState);
    bodyDriven = true;
    visible = true;
    age = 0.0f;
}

bool Projectile::update(float dt, btDynamicsWorld* world) {
    if (!visible) return false;
    age += dt;
    if (age < lifetime) return false;
    for (SceneObject* child : children) child->setVisible(false);
    visible = false;
    physics::removeFromWorld(rigidBody, world);
    return true;
}
