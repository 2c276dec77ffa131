#include "entities/Item.h"

#include "render/TexturedMesh.h"

#include <btBulletDynamicsCommon.h>

Item::Item(const glm::vec3& position, const std::shared_ptr<TexturedMesh>& mesh) {
    name = "item";
    addMesh(mesh);
    setScale(glm::vec3(kScale));  // the mesh takes the same scale
    setPosition(position);        // the mesh starts at the origin, so it lands on the item
    bodyOffset = glm::vec3(0.0f, kBodyLift, 0.0f);

    collisionShape = new btSphereShape(kBodyRadius);
    btTransform start;
    start.setIdentity();
    const glm::vec3 centre = position + bodyOffset;
    start.setOrigin(btVector3(centre.x, centre.y, centre.z));
    motionState = new btDefaultMotionState(start);
    btRigidBody::btRigidBodyConstructionInfo info(kMass, motionState, collisionShape, btVector3(0, 0, 0));
    rigidBody = new btRigidBody(info);
    // Touching a diamond must not push anything around; the contact is still reported.
    rigidBody->setCollisionFlags(rigidBody->getCollisionFlags() | btCollisionObject::CF_NO_CONTACT_RESPONSE);
    rigidBody->setUserPointer(static_cast<SceneObject*>(this));
    bodyDriven = true;
    visible = true;
}
