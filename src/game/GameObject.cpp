#include "game/GameObject.h"

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
    if (rigidBody && rigidBody->getBroadphaseHandle()) {
        // Still registered with a live world, which would keep using the body after we free it.
        // Leaking it is the lesser evil; the null user pointer keeps handlers from reading us.
        std::cerr << "GameObject \"" << name << "\" destroyed while its body is still in a physics world" << std::endl;
        rigidBody->setUserPointer(nullptr);
        return;
    }
    // The body refers to the motion state and the shape, so it goes first.
    delete rigidBody;
    delete motionState;
    delete collisionShape;
}

void GameObject::syncFromBody() {
    if (!rigidBody) return;
    if (bodyDriven) {
        const btTransform& t = rigidBody->getWorldTransform();
        const btVector3& origin = t.getOrigin();
        setPosition(glm::vec3(origin.x(), origin.y(), origin.z()) - bodyOffset);
        const btQuaternion q = t.getRotation();
        setRotation(glm::vec3(eulerFromQuaternion(q.x(), q.y(), q.z(), q.w())));
        return;
    }
    btTransform t;
    t.setIdentity();
    const glm::vec3 origin = position + bodyOffset;
    t.setOrigin(btVector3(origin.x, origin.y, origin.z));
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
    if (!world) return;
    const btVector3 from(position.x, position.y, position.z);
    const btVector3 to = from - btVector3(0, 100, 0);
    btCollisionWorld::ClosestRayResultCallback hit(from, to);
    world->rayTest(from, to, hit);
    if (!hit.hasHit()) return;
    const btVector3& p = hit.m_hitPointWorld;
    if (bodyDriven && rigidBody) rigidBody->getWorldTransform().setOrigin(p);
    SceneObject::setPosition(glm::vec3(p.x(), p.y(), p.z()));
}

glm::dvec3 GameObject::eulerFromQuaternion(double x, double y, double z, double w) {
    const double halfPi = std::acos(0.0);
    const double roll = std::atan2(2.0 * (w * x + y * z), 1.0 - 2.0 * (x * x + y * y));
    const double sinPitch = 2.0 * (w * y - z * x);
    const double pitch = std::abs(sinPitch) >= 0.99999 ? std::copysign(halfPi, sinPitch) : std::asin(sinPitch);
    const double yaw = std::atan2(2.0 * (w * z + x * y), 1.0 - 2.0 * (y * y + z * z));
    return glm::dvec3(roll, pitch, yaw);
}
