#include "scene/SceneObject.h"

#include <glm/gtc/matrix_transform.hpp>

glm::mat4 SceneObject::rotationMatrix(const glm::vec3& r) {
    const glm::mat4 identity(1.0f);
    return glm::rotate(identity, r.z, glm::vec3(0, 0, 1)) * glm::rotate(identity, r.y, glm::vec3(0, 1, 0)) *
           glm::rotate(identity, r.x, glm::vec3(1, 0, 0));
}

void SceneObject::setTransform(const glm::vec3& p, const glm::vec3& r, const glm::vec3& s) {
    for (SceneObject* child : children) {
        if (!child) continue;
        child->setTransform(child->position + (p - position), child->rotation, child->scale + (s - scale));
        child->rotateAround(p, r - rotation);
    }
    position = p;
    rotation = r;
    scale = s;
}

void SceneObject::setPosition(const glm::vec3& p) {
    for (SceneObject* child : children) {
        if (child) child->setPosition(child->position + (p - position));
    }
    position = p;
}

void SceneObject::setRotation(const glm::vec3& r) {
    for (SceneObject* child : children) {
        if (child) child->rotateAround(position, r - rotation);
    }
    rotation = r;
}

void SceneObject::setScale(const glm::vec3& s) {
    for (SceneObject* child : children) {
        if (child) child->setScale(s);
    }
    scale = s;
}

void SceneObject::rotateAround(const glm::vec3& center, const glm::vec3& delta) {
    const glm::mat4 frame = parent ? parent->getRotationMatrix() : getRotationMatrix();
    const glm::mat4 m = frame * rotationMatrix(delta) * glm::inverse(frame);
    setPosition(center + glm::vec3(m * glm::vec4(position - center, 1.0f)));
    setRotation(rotation + delta);
}

void SceneObject::setVisible(bool v) {
    visible = v;
    for (SceneObject* child : children) {
        if (child) child->setVisible(v);
    }
}

glm::mat4 SceneObject::getRotationMatrix() const { return rotationMatrix(rotation); }

glm::mat4 SceneObject::getModelMatrix() const {
    return glm::translate(glm::mat4(1.0f), position) * getRotationMatrix() * glm::scale(glm::mat4(1.0f), scale);
}
