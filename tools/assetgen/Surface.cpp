#include "Surface.h"

#include <utility>

Surface::Surface(std::string name, Shape shape, UvRect rect, int textureSize, int columns, int rows)
    : partName(std::move(name)),
      shape(std::move(shape)),
      uvRect(rect),
      inset(1.5f / textureSize),
      cols(columns),
      rowCount(rows) {}

glm::vec3 Surface::rawNormal(float s, float t) const {
    const float e = 1e-3f;
    glm::vec3 ds = shape(s + e, t) - shape(s - e, t);
    glm::vec3 dt = shape(s, t + e) - shape(s, t - e);
    return glm::cross(ds, dt);
}

glm::vec3 Surface::normal(float s, float t) const {
    const float pole = 2e-3f;
    glm::vec3 n = rawNormal(s, t);
    if (glm::length(n) > 1e-10f && t > pole && t < 1.0f - pole) return glm::normalize(n);
    // At a pole every s gives the same point: average the normals of a small ring around it.
    float tr = t < 0.5f ? pole : 1.0f - pole;
    glm::vec3 sum(0.0f);
    for (int i = 0; i < 32; ++i) {
        glm::vec3 r = rawNormal(i / 32.0f, tr);
        if (glm::length(r) > 1e-12f) sum += glm::normalize(r);
    }
    if (glm::length(sum) < 1e-6f) return glm::vec3(0, 0, 1);
    return glm::normalize(sum);
}

glm::vec2 Surface::uv(float s, float t) const {
    if (uvMapping) return uvMapping(s, t);
    return {uvRect.u0 + inset + s * (uvRect.u1 - uvRect.u0 - 2 * inset),
            uvRect.v0 + inset + t * (uvRect.v1 - uvRect.v0 - 2 * inset)};
}

glm::vec2 Surface::parameterAt(const glm::vec2& uv) const {
    float s = (uv.x - uvRect.u0 - inset) / (uvRect.u1 - uvRect.u0 - 2 * inset);
    float t = (uv.y - uvRect.v0 - inset) / (uvRect.v1 - uvRect.v0 - 2 * inset);
    return glm::clamp(glm::vec2(s, t), glm::vec2(0.0f), glm::vec2(1.0f));
}
