#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace shapes {

namespace {

const float kPi = 3.14159265f;

// Rounding leaves cos(pi/2) at about 1e-8, which a fractional power would blow up to a visible
// offset; such values are taken as the 0 they stand for.
float signedPow(float v, float e) {
    if (std::fabs(v) < 1e-6f) return 0.0f;
    return (v < 0 ? -1.0f : 1.0f) * std::pow(std::fabs(v), e);
}

}  // namespace

Surface::Shape ellipsoid(const glm::vec3& centre, const glm::vec3& radii, const glm::mat3& basis) {
    return [=](float s, float t) {
        float lat = kPi * t - kPi / 2, lon = 2 * kPi * s;
        glm::vec3 local(radii.x * std::cos(lat) * std::cos(lon), radii.y * std::cos(lat) * std::sin(lon),
                        radii.z * std::sin(lat));
        return centre + basis * local;
    };
}

Surface::Shape tube(std::function<glm::vec3(float)> curve, std::function<float(float)> radiusSide,
                    std::function<float(float)> radiusOther, const glm::vec3& side) {
    return [curve = std::move(curve), radiusSide = std::move(radiusSide), radiusOther = std::move(radiusOther), side](
               float s, float t) {
        float tc = glm::clamp(t, 0.0f, 1.0f);
        const float e = 1e-3f;
        glm::vec3 tangent = glm::normalize(curve(std::min(tc + e, 1.0f)) - curve(std::max(tc - e, 0.0f)));
        glm::vec3 n = glm::normalize(side - tangent * glm::dot(side, tangent));
        glm::vec3 b = glm::cross(tangent, n);
        float a = 2 * kPi * s;
        // Beyond the ends (only asked for by normal estimation) the tube continues straight.
        glm::vec3 centre = curve(tc) + tangent * (t - tc);
        return centre + n * (radiusSide(tc) * std::cos(a)) + b * (radiusOther(tc) * std::sin(a));
    };
}

Surface::Shape roundedBox(const glm::vec3& centre, const glm::vec3& halfSize, float exponentAround, float exponentUp) {
    return [=](float s, float t) {
        float lat = kPi * t - kPi / 2, lon = 2 * kPi * s;
        float cl = signedPow(std::cos(lat), exponentUp), sl = signedPow(std::sin(lat), exponentUp);
        float co = signedPow(std::cos(lon), exponentAround), so = signedPow(std::sin(lon), exponentAround);
        return centre + halfSize * glm::vec3(cl * co, cl * so, sl);
    };
}

float roundedEnds(float t, float fractionStart, float fractionEnd) {
    float r = 1.0f;
    if (fractionStart > 0 && t < fractionStart) {
        float x = 1.0f - t / fractionStart;
        r = std::sqrt(std::max(0.0f, 1.0f - x * x));
    }
    if (fractionEnd > 0 && t > 1.0f - fractionEnd) {
        float x = (t - (1.0f - fractionEnd)) / fractionEnd;
        r = std::min(r, std::sqrt(std::max(0.0f, 1.0f - x * x)));
    }
    return r;
}

glm::mat3 basisAlong(const glm::vec3& axis, const glm::vec3& hint) {
    glm::vec3 z = glm::normalize(axis);
    glm::vec3 x = glm::normalize(hint - z * glm::dot(hint, z));
    glm::vec3 y = glm::cross(z, x);
    return glm::mat3(x, y, z);
}

}  // namespace shapes
