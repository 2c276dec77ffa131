#include "LakeView.h"

#include "scene/ObjectTags.h"
#include "scene/SceneObject.h"
#include "physics/RayQueries.h"

#include <btBulletDynamicsCommon.h>

#include <cmath>
#include <string>

namespace {

struct Ground {
    bool water = false;
    bool hit = false;
    float y = 0.0f;
};

Ground groundAt(btDynamicsWorld* world, float x, float z) {
    // The closest of the terrain and the water; everything else is looked through.
    const physics::RayHit ray = physics::closestHit(
        world, btVector3(x, 150.0, z), btVector3(x, -10.0, z), nullptr, [](const SceneObject* owner) {
            return owner && (owner->name == tags::kTerrain || owner->name == tags::kWater);
        });
    Ground ground;
    ground.hit = ray.hit;
    if (!ground.hit) return ground;
    ground.y = static_cast<float>(ray.point.y());
    ground.water = ray.owner->name == tags::kWater;
    return ground;
}

}  // namespace

LakeView findLakeView(btDynamicsWorld* world) {
    LakeView view;
    if (!world) return view;
    for (float x = 150.0f; x <= 650.0f; x += 10.0f) {
        for (float z = 150.0f; z <= 650.0f; z += 10.0f) {
            const Ground here = groundAt(world, x, z);
            if (!here.hit || here.water || here.y > 14.0f) continue;
            for (int d = 0; d < 8; ++d) {
                const float angle = static_cast<float>(d) * 0.7853982f;
                const glm::vec2 direction(std::cos(angle), std::sin(angle));
                bool open = true;
                for (float reach : {20.0f, 40.0f, 60.0f}) {
                    const Ground ahead = groundAt(world, x + direction.x * reach, z + direction.y * reach);
                    open = open && ahead.hit && ahead.water;
                }
                if (!open) continue;
                view.found = true;
                view.shore = glm::vec3(x, here.y, z);
                view.towardsWater = direction;
                return view;
            }
        }
    }
    return view;
}
