#pragma once

#include "scene/SceneObject.h"

#include <glm/glm.hpp>

#include <memory>
#include <vector>

// Moving things shown between two ticks: each remembered object is put (with its children) part of the
// way from its pose at the start of the last tick to its pose now, and everything touched is put back
// exactly as it was when the blend goes. A move longer than kSnapDistance (a new world, a teleport) or
// a turn of more than a quarter turn is not blended: the object shows where it is.
class PoseBlend {
public:
    // An object's pose at the start of a tick. A `shared` object is skipped once its `owner` is gone
    // (a shot may be); any other must outlive the blend.
    struct Pose {
        SceneObject* object = nullptr;
        bool shared = false;
        std::weak_ptr<SceneObject> owner;
        glm::vec3 position{0.0f};
        glm::vec3 rotation{0.0f};
    };

    static constexpr float kSnapDistance = 10.0f;

    PoseBlend() = default;
    // Blends every pose of `previous` that still exists and is visible, `alpha` of the way (0: the
    // remembered pose, 1: as it is now).
    PoseBlend(const std::vector<Pose>& previous, float alpha);
    ~PoseBlend();
    PoseBlend(PoseBlend&& other) noexcept;
    PoseBlend& operator=(PoseBlend&& other) noexcept;
    PoseBlend(const PoseBlend&) = delete;
    PoseBlend& operator=(const PoseBlend&) = delete;

    // The angle `alpha` of the way from `from` to `to` along the shorter way round.
    static float blendAngle(float from, float to, float alpha);

private:
    struct Saved {
        SceneObject* object;
        glm::vec3 position, rotation, scale;
    };
    // Remembers the exact transform of `object` and all below it.
    void save(SceneObject* object);
    void restore();

    std::vector<Saved> saved;
};
