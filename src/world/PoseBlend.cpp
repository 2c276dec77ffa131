#include "world/PoseBlend.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kLargestBlendedTurn = kPi / 2.0f;

bool exists(const PoseBlend::Pose& pose) { return pose.object && !(pose.shared && pose.owner.expired()); }

}  // namespace

float PoseBlend::blendAngle(float from, float to, float alpha) {
    float turn = std::remainder(to - from, 2.0f * kPi);
    return to - (1.0f - alpha) * turn;
}

PoseBlend::PoseBlend(const std::vector<Pose>& previous, float alpha) {
    std::vector<const Pose*> live;
    for (const Pose& pose : previous) {
        if (!exists(pose) || !pose.object->visible) continue;
        live.push_back(&pose);
        save(pose.object);
    }
    for (const Pose* pose : live) {
        SceneObject& object = *pose->object;
        const glm::vec3 now = object.position;
        if (glm::length(now - pose->position) > kSnapDistance) continue;
        glm::vec3 turned = object.rotation;
        bool snap = false;
        for (int axis = 0; axis < 3; ++axis) {
            snap = snap || std::abs(std::remainder(object.rotation[axis] - pose->rotation[axis], 2.0f * kPi)) >
                               kLargestBlendedTurn;
            turned[axis] = blendAngle(pose->rotation[axis], object.rotation[axis], alpha);
        }
        if (snap) continue;
        object.setPosition(glm::mix(pose->position, now, alpha));
        object.setRotation(turned);
    }
}

PoseBlend::~PoseBlend() { restore(); }

PoseBlend::PoseBlend(PoseBlend&& other) noexcept : saved(std::move(other.saved)) { other.saved.clear(); }

PoseBlend& PoseBlend::operator=(PoseBlend&& other) noexcept {
    if (this != &other) {
        restore();
        saved = std::move(other.saved);
        other.saved.clear();
    }
    return *this;
}

void PoseBlend::save(SceneObject* object) {
    saved.push_back({object, object->position, object->rotation, object->scale});
    for (SceneObject* child : object->children) {
        if (child) save(child);
    }
}

void PoseBlend::restore() {
    // Everything was saved before anything moved, so an object saved twice (a child saved with its
    // parent and on its own) has two equal records.
    for (auto entry = saved.rbegin(); entry != saved.rend(); ++entry) {
        entry->object->position = entry->position;
        entry->object->rotation = entry->rotation;
        entry->object->scale = entry->scale;
    }
    saved.clear();
}
