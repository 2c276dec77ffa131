#include "world/OpenStart.h"

#include "physics/RayQueries.h"
#include "scene/ObjectTags.h"
#include "scene/SceneObject.h"

#include <cmath>
#include <vector>

namespace {

// Spots are dropped onto from this high: above any landscape.
constexpr float kDropFrom = 820.0f;
constexpr float kDropLength = 840.0f;
constexpr float kTwoPi = 6.2831853f;

bool isTerrain(const SceneObject* owner) { return owner && owner->name == tags::kTerrain; }

// The spots to try round `centre`, nearest first: the centre, then rings of more spots the farther out.
std::vector<glm::vec2> spotsAround(const glm::vec3& centre) {
    std::vector<glm::vec2> spots{glm::vec2(centre.x, centre.z)};
    for (int ring = 1; ring <= OpenStart::kRings; ++ring) {
        const int count = 6 * ring;
        const float radius = OpenStart::kRingStep * static_cast<float>(ring);
        for (int i = 0; i < count; ++i) {
            const float angle = kTwoPi * static_cast<float>(i) / static_cast<float>(count);
            spots.emplace_back(centre.x + radius * std::cos(angle), centre.z + radius * std::sin(angle));
        }
    }
    return spots;
}

}  // namespace

glm::vec3 OpenStart::facing(float yaw) { return glm::vec3(-std::sin(yaw), 0.0f, -std::cos(yaw)); }

float OpenStart::viewAlong(btDynamicsWorld* world, const glm::vec3& ground, float yaw) {
    const glm::vec3 from = ground + glm::vec3(0.0f, kEyeHeight, 0.0f);
    const glm::vec3 to = from + facing(yaw) * kReach;
    const physics::RayHit hit =
        physics::closestHit(world, physics::toBullet(from), physics::toBullet(to), nullptr, isTerrain);
    return hit.hit ? glm::length(hit.position() - from) : kReach;
}

OpenStart::Place OpenStart::find(btDynamicsWorld* world, const glm::vec3& centre) {
    Place best;
    best.ground = centre;
    best.view = -1.0f;
    const physics::RayHit below = physics::dropDown(world, centre, 100.0);
    if (below.hit) best.ground = below.position();
    for (const glm::vec2& spot : spotsAround(centre)) {
        // The topmost surface: the landscape open to the sky, or the lake over it.
        const physics::RayHit top = physics::dropDown(world, glm::vec3(spot.x, kDropFrom, spot.y), kDropLength);
        if (!top.hit || !isTerrain(top.owner) || top.normal.y() < kLevelEnough) continue;
        const glm::vec3 ground = top.position();
        for (int d = 0; d < kDirections; ++d) {
            const float yaw = kTwoPi * static_cast<float>(d) / static_cast<float>(kDirections);
            const float view = viewAlong(world, ground, yaw);
            if (view > best.view) best = Place{ground, yaw, view};
        }
        if (best.view >= kEnough) break;
    }
    if (best.view < 0.0f) best.view = 0.0f;
    return best;
}
