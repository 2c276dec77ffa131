#pragma once

#include "scene/ObjectTags.h"

#include <glm/glm.hpp>

#include <string>
#include <vector>

// A named node of the scene: position, Euler rotation (radians, applied as Rz * Ry * Rx) and scale,
// with non-owning links to a parent and to children that move and turn with it. The name doubles
// as the collision tag that the game rules dispatch on.
class SceneObject {
public:
    SceneObject() = default;
    SceneObject(const SceneObject& other) = default;
    SceneObject& operator=(const SceneObject& other) = default;
    virtual ~SceneObject() = default;

    // Children are moved by the position change, orbit `p` by the rotation change and have their
    // scale changed by the scale difference; then the object stores the new transform.
    virtual void setTransform(const glm::vec3& p, const glm::vec3& r, const glm::vec3& s);
    // Children keep their offset.
    virtual void setPosition(const glm::vec3& p);
    // Children orbit the object's position by the change of angles.
    virtual void setRotation(const glm::vec3& r);
    // Children receive the same absolute scale.
    virtual void setScale(const glm::vec3& s);

    // Turns the object about `center` by `delta`, taken in the parent's frame when there is a parent,
    // otherwise in the object's own frame. Goes through the virtual setters so children follow.
    void rotateAround(const glm::vec3& center, const glm::vec3& delta);
    // Sets the flag on this object and, recursively, on all children.
    void setVisible(bool v);

    glm::mat4 getRotationMatrix() const;
    glm::mat4 getModelMatrix() const;

    // Rz(r.z) * Ry(r.y) * Rx(r.x).
    static glm::mat4 rotationMatrix(const glm::vec3& r);

    std::string name = tags::kEmpty;
    bool visible = true;
    glm::vec3 position{0.0f};
    glm::vec3 rotation{0.0f};
    glm::vec3 scale{1.0f};
    SceneObject* parent = nullptr;
    std::vector<SceneObject*> children;
};
