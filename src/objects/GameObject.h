#pragma once

#include "scene/SceneObject.h"

#include <glm/glm.hpp>

#include <memory>
#include <string>
#include <vector>

class TexturedMesh;
class btCollisionShape;
class btDynamicsWorld;
class btDefaultMotionState;
class btRigidBody;

// A scene object with drawable meshes (held as its children) and, optionally, a rigid body. The
// object owns its body, motion state and shape; the world that holds the body does not. Every body's
// user pointer is the object as a SceneObject*, so contact and ray handlers can read its name.
class GameObject : public SceneObject {
public:
    GameObject() = default;
    // Loads `modelName` from the models folder (the loader ends the program if it cannot). The
    // model files are z-up, so every mesh is turned by -pi/2 about x. Needs the current context.
    explicit GameObject(const std::string& modelName);
    // The body must have been taken out of its world by now. If it has not, it is deliberately left
    // alive (with a null user pointer) so the world never touches freed memory.
    ~GameObject() override;

    // The object owns raw pointers; a copy would free them twice.
    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;

    // Body-driven objects take the body's pose; otherwise the body's motion state is moved to
    // position + bodyOffset, without rotation. Nothing happens without a body.
    void syncFromBody();
    // Turns the mesh upright, makes it a child of this object and keeps it in `meshes`.
    void addMesh(const std::shared_ptr<TexturedMesh>& mesh);
    // Drops the object straight down (up to 100 units) onto whatever lies below it; stays put on a miss.
    void placeOnGround(btDynamicsWorld* world);

    // Euler angles (applied as Rz * Ry * Rx) of a quaternion (x, y, z, w); the y angle is pinned to
    // +-pi/2 at the poles so the triple stays finite.
    static glm::dvec3 eulerFromQuaternion(double x, double y, double z, double w);

    std::vector<std::shared_ptr<TexturedMesh>> meshes;
    btRigidBody* rigidBody = nullptr;
    bool bodyDriven = false;
    glm::vec3 bodyOffset{0.0f};
    btCollisionShape* collisionShape = nullptr;
    btDefaultMotionState* motionState = nullptr;
};
