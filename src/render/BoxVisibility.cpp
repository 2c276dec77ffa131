#include "render/BoxVisibility.h"

namespace {

// The box's corner farthest along the plane's normal: if even it is outside, the whole box is.
glm::vec3 farthestCorner(const glm::vec3& normal, const glm::vec3& min, const glm::vec3& max) {
    return glm::vec3(normal.x >= 0.0f ? max.x : min.x, normal.y >= 0.0f ? max.y : min.y,
                     normal.z >= 0.0f ? max.z : min.z);
}

}  // namespace

bool boxMayBeAbovePlane(const glm::vec4& plane, const glm::vec3& min, const glm::vec3& max) {
    const glm::vec3 normal(plane);
    return glm::dot(normal, farthestCorner(normal, min, max)) + plane.w >= 0.0f;
}

bool boxMayBeInFrustum(const Frustum& frustum, const glm::vec3& min, const glm::vec3& max) {
    for (const glm::vec4& plane : frustum.planes) {
        if (!boxMayBeAbovePlane(plane, min, max)) return false;
    }
    return true;
}

bool boxMayCoverClipSquare(const glm::mat4& viewProjection, const glm::vec3& min, const glm::vec3& max) {
    return boxMayCoverClipRect(viewProjection, min, max, glm::vec2(-1.0f), glm::vec2(1.0f));
}

bool boxMayCoverClipRect(const glm::mat4& viewProjection, const glm::vec3& min, const glm::vec3& max,
                         const glm::vec2& rectLow, const glm::vec2& rectHigh) {
    glm::vec2 low(1e30f), high(-1e30f);
    for (int i = 0; i < 8; ++i) {
        const glm::vec3 corner(i & 1 ? max.x : min.x, i & 2 ? max.y : min.y, i & 4 ? max.z : min.z);
        const glm::vec4 clip = viewProjection * glm::vec4(corner, 1.0f);
        // An orthographic projection keeps w at 1; a perspective one with a corner behind the eye
        // cannot be judged this way, so the box is kept.
        if (clip.w <= 0.0f) return true;
        const glm::vec2 ndc = glm::vec2(clip) / clip.w;
        low = glm::min(low, ndc);
        high = glm::max(high, ndc);
    }
    return high.x >= rectLow.x && low.x <= rectHigh.x && high.y >= rectLow.y && low.y <= rectHigh.y;
}
