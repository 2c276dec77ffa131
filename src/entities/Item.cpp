#include "entities/Item.h"

#include "scene/ObjectTags.h"
#include "physics/Bodies.h"
#include "physics/BulletMath.h"
#include "render/TexturedMesh.h"

#include <btBulletDynamicsCommon.h>

Item::Item(const glm::vec3& position, const std::shared_ptr<TexturedMesh>& mesh) {
    name = tags::kItem;
    addMesh(mesh);
    setScale(glm::vec3(kScale));  // the mesh takes the same scale
    setPosition(position);        // the mesh starts at the origin, so it lands on the item
    bodyOffset = glm::vec3(0.0f, kBodyLift, 0.0f);

    collisionShape = new btSphereShape(kBodyRadius);
    // Touching a diamond must not push anything around; the contact is still reported.
    rigidBody = physics::createBody(this, collisionShape, kMass, physics::placedAt(position + bodyOffset), motionState,
                                    btCollisionObject::CF_NO_CONTACT_RESPONSE);
    bodyDriven = true;
    visible = true;
}
