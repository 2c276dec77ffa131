#include "RabbitRig.h"

#include <cmath>

#include "Shapes.h"

namespace rabbitrig {

namespace {

const float kPi = 3.14159265f;
const glm::mat3 kAlongY = shapes::basisAlong(glm::vec3(0, 1, 0), glm::vec3(1, 0, 0));

Surface ear(float side, UvRect rect) {
    glm::vec3 base(0.16f * side, -0.34f, 1.66f), tip(0.34f * side, -0.22f, 2.5f);
    auto curve = [=](float t) {
        // A slight forward curve, as rabbit ears have.
        return base + (tip - base) * t + glm::vec3(0, -0.08f * std::sin(kPi * t), 0);
    };
    auto across = [](float t) { return (0.1f + 0.07f * std::sin(kPi * t)) * shapes::roundedEnds(t, 0.08f, 0.22f); };
    auto thick = [](float t) { return 0.055f * shapes::roundedEnds(t, 0.08f, 0.22f); };
    // `side` keeps the wide side of the ear facing forwards.
    return Surface(side < 0 ? "ear_left" : "ear_right", shapes::tube(curve, across, thick, glm::vec3(1, 0, 0)), rect,
                   kBodyTextureSize, 20, 20);
}

Surface eye(float side) {
    glm::vec3 centre(0.25f * side, -0.74f, 1.47f);
    glm::vec3 radii(0.095f, 0.115f, 0.065f);
    glm::vec3 forward = glm::normalize(glm::vec3(0.55f * side, -0.81f, 0.22f));
    // Columns: across, up, forward.
    glm::mat3 basis = shapes::basisAlong(forward, glm::vec3(1, 0, 0));
    auto shape = shapes::ellipsoid(centre, radii, basis);
    Surface s(side < 0 ? "eye_left" : "eye_right", shape, {0, 0, 1, 1}, kEyeTextureSize, 24, 16);
    glm::vec3 across = basis[0], up = basis[1];
    s.setUvMapping([=](float u, float v) {
        glm::vec3 d = shape(u, v) - centre;
        return glm::vec2(0.5f + 0.47f * glm::dot(d, across) / radii.x, 0.5f + 0.47f * glm::dot(d, up) / radii.y);
    });
    return s;
}

Surface wing(float side, UvRect rect) {
    glm::vec3 root(0.28f * side, 0.3f, 1.0f);
    glm::vec3 span = glm::normalize(glm::vec3(side, 0.3f, 0.85f));
    glm::vec3 chord(0, 1, 0);
    glm::vec3 thickness = glm::normalize(glm::cross(span, chord)) * side;
    glm::mat3 basis(span * side, chord, thickness);
    return Surface(
        side < 0 ? "wing_left" : "wing_right",
        [=](float s, float t) {
            float lat = kPi * t - kPi / 2, lon = 2 * kPi * s;
            float u = std::cos(lat) * std::cos(lon), v = std::cos(lat) * std::sin(lon), w = std::sin(lat);
            // Out along the span the wing sweeps back to a rounded tip; the trailing edge is
            // scalloped into feathers.
            float along = (u * side + 1) * 0.5f;
            float feathers = v > 0 ? 1.0f + 0.22f * v * std::fabs(std::sin(along * kPi * 3.5f)) : 1.0f;
            float x = 0.6f * u;
            float y = 0.48f * v * (1.0f - 0.35f * along) * feathers + 0.35f * along * along;
            float z = 0.06f * w;
            return root + span * 0.6f + basis * glm::vec3(x, y, z);
        },
        rect, kBodyTextureSize, 48, 12);
}

}  // namespace

std::vector<Surface> bodyParts() {
    const int tex = kBodyTextureSize;
    std::vector<Surface> parts;
    parts.emplace_back("body", shapes::ellipsoid(glm::vec3(0, 0.12f, 0.62f), glm::vec3(0.56f, 0.6f, 0.7f), kAlongY),
                       UvRect{0, 0.5f, 0.5f, 1}, tex, 40, 28);
    parts.emplace_back("head", shapes::ellipsoid(glm::vec3(0, -0.42f, 1.38f), glm::vec3(0.44f, 0.42f, 0.42f)),
                       UvRect{0.5f, 0.5f, 1, 1}, tex, 36, 24);
    parts.push_back(ear(-1.0f, {0, 0.25f, 0.125f, 0.5f}));
    parts.push_back(ear(1.0f, {0.125f, 0.25f, 0.25f, 0.5f}));
    parts.emplace_back("foot_left",
                       shapes::ellipsoid(glm::vec3(-0.3f, -0.22f, 0.1f), glm::vec3(0.16f, 0.1f, 0.36f), kAlongY),
                       UvRect{0.25f, 0.25f, 0.375f, 0.5f}, tex, 18, 12);
    parts.emplace_back("foot_right",
                       shapes::ellipsoid(glm::vec3(0.3f, -0.22f, 0.1f), glm::vec3(0.16f, 0.1f, 0.36f), kAlongY),
                       UvRect{0.375f, 0.25f, 0.5f, 0.5f}, tex, 18, 12);
    parts.emplace_back("muzzle", shapes::ellipsoid(glm::vec3(0, -0.8f, 1.27f), glm::vec3(0.2f, 0.12f, 0.14f)),
                       UvRect{0.5f, 0.25f, 0.75f, 0.5f}, tex, 24, 14);
    parts.emplace_back("tail", shapes::ellipsoid(glm::vec3(0, 0.82f, 0.55f), glm::vec3(0.2f, 0.2f, 0.2f)),
                       UvRect{0.75f, 0.25f, 1, 0.5f}, tex, 16, 10);
    parts.emplace_back("paw_left",
                       shapes::ellipsoid(glm::vec3(-0.2f, -0.52f, 0.34f), glm::vec3(0.1f, 0.12f, 0.17f), kAlongY),
                       UvRect{0, 0, 0.125f, 0.25f}, tex, 14, 10);
    parts.emplace_back("paw_right",
                       shapes::ellipsoid(glm::vec3(0.2f, -0.52f, 0.34f), glm::vec3(0.1f, 0.12f, 0.17f), kAlongY),
                       UvRect{0.125f, 0, 0.25f, 0.25f}, tex, 14, 10);
    return parts;
}

std::vector<Surface> wingParts() { return {wing(-1.0f, {0.25f, 0, 0.625f, 0.25f}), wing(1.0f, {0.625f, 0, 1, 0.25f})}; }

std::vector<Surface> eyeParts() { return {eye(-1.0f), eye(1.0f)}; }

}  // namespace rabbitrig
