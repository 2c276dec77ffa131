#include "RockInView.h"

#include "physics/RayQueries.h"
#include "scene/ObjectTags.h"
#include "scene/SceneObject.h"
#include "world/World.h"

#include <cstdio>

namespace {

bool rockFirst(const World& world, const glm::vec3& from) {
    const glm::vec3 ahead = glm::normalize(glm::vec3(world.eye().getRotationMatrix() * glm::vec4(0, 0, -1, 0)));
    const float reach = glm::length(world.orbitPoint() - from);
    if (!(reach > 0.0f)) return false;
    const physics::RayHit hit =
        physics::closestHit(world.physics(), physics::toBullet(from), physics::toBullet(from + ahead * reach), nullptr,
                            [](const SceneObject* owner) { return owner && owner->name == tags::kTerrain; });
    return hit.hit;
}

double percent(int part, int whole) { return whole > 0 ? 100.0 * part / whole : 0.0; }

}  // namespace

void RockInView::look(const World& world) {
    ++frames;
    fromView += rockFirst(world, world.viewpoint()) ? 1 : 0;
    fromEye += rockFirst(world, world.eye().position) ? 1 : 0;
}

std::string RockInView::describe() const {
    char text[160];
    std::snprintf(text, sizeof text, "%d of %d frames (%.1f %%) from the view, %d (%.1f %%) from the eye's own place",
                  fromView, frames, percent(fromView, frames), fromEye, percent(fromEye, frames));
    return text;
}
