#pragma once

#include <cmath>

#include <glm/glm.hpp>

// Small colour helpers shared by the texture painters.
namespace paint {

// An sRGB colour given as 0..255 components.
inline glm::vec3 rgb(int r, int g, int b) { return glm::vec3(r, g, b) / 255.0f; }

inline float smooth(float edge0, float edge1, float x) { return glm::smoothstep(edge0, edge1, x); }

// 1 inside a band of half width `halfWidth` around 0, fading to 0 over `soft`.
inline float band(float distance, float halfWidth, float soft) {
    return 1.0f - glm::smoothstep(halfWidth, halfWidth + soft, std::fabs(distance));
}

inline glm::vec4 opaque(const glm::vec3& c) { return glm::vec4(glm::clamp(c, 0.0f, 1.0f), 1.0f); }

}  // namespace paint
