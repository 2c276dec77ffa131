#include "objects/GameObject.h"

#include "physics/Bodies.h"
#include "physics/BulletMath.h"
#include "physics/RayQueries.h"
#include "render/ColladaLoader.h"
#include "render/TexturedMesh.h"

#include <btBulletDynamicsCommon.h>

#include <cmath>
#include <iostream>

namespace {
// The model files are z-up; this turns them y-up.
const glm::vec3 kModelUpright(-1.5707964f, 0.0f, 0.0f);
}  // namespace

GameObject::GameObject(const std::string& modelName) {
    std::vector<std::shared_ptr<TexturedMesh>> loaded;
    ColladaLoader::loadModel(modelName, loaded);
    for (const auto& mesh : loaded) addMesh(mesh);
}

GameObject::~GameObject() {
    if (!physics::releaseBody(rigidBody, motionState, collisionShape)) {
        std::cerr << "GameObject \"" << name << "\" destroyed while its body is still in a physics world" << std::endl;
    }
}

void GameObject::syncFromBody() {
    if (!rigidBody) return;
    if (bodyDriven) {
        const btTransform& t = rigidBody->getWorldTransform();
        setPosition(physics::toGlm(t.getOrigin()) - bodyOffset);
        const btQuaternion q = t.getRotation();
        setRotation(glm::vec3(eulerFromQuaternion(q.x(), q.y(), q.z(), q.w())));
        return;
    }
    const btTransform t = physics::placedAt(position + bodyOffset);
    if (motionState) {
        motionState->setWorldTransform(t);
    } else {
        rigidBody->setWorldTransform(t);
    }
}

void GameObject::addMesh(const std::shared_ptr<TexturedMesh>& mesh) {
    if (!mesh) return;
    mesh->setRotation(kModelUpright);
    mesh->parent = this;
    children.push_back(mesh.get());
    meshes.push_back(mesh);
}

void GameObject::placeOnGround(btDynamicsWorld* world) {
    const physics::RayHit hit = physics::dropDown(world, position, 100);
    if (!hit.hit) return;
    if (bodyDriven && rigidBody) rigidBody->getWorldTransform().setOrigin(hit.point);
    SceneObject::setPosition(hit.position());
}

glm::dvec3 GameObject::eulerFromQuaternion(double x, double y, double z, double w) {
    const double halfPi = std::acos(0.0);
    const double roll = std::atan2(2.0 * (w * x + y * z), 1.0 - 2.0 * (x * x + y * y));
    const double sinPitch = 2.0 * (w * y - z * x);
    const double pitch = std::abs(sinPitch) >= 0.99999 ? std::copysign(halfPi, sinPitch) : std::asin(sinPitch);
    const double yaw = std::atan2(2.0 * (w * z + x * y), 1.0 - 2.0 * (y * y + z * z));
    return glm::dvec3(roll, pitch, yaw);
}
