#include "CatRig.h"

#include "Curve.h"
#include "Shapes.h"

namespace catrig {

namespace {

const glm::mat3 kAlongY = shapes::basisAlong(glm::vec3(0, 1, 0), glm::vec3(1, 0, 0));

const glm::vec3 kHeadCentre(0.0f, -0.6f, -0.25f);
const glm::vec3 kHeadRadii(0.6f, 0.52f, 0.52f);

Surface eye(float side) {
    glm::vec3 centre(0.21f * side, -1.04f, -0.12f);
    glm::vec3 radii(0.12f, 0.14f, 0.08f);
    // The eye's pole looks forward and a little outward and up, along the head's surface normal.
    glm::vec3 forward = glm::normalize(glm::vec3(0.3f * side, -0.9f, 0.28f));
    // Columns: across, up, forward.
    glm::mat3 basis = shapes::basisAlong(forward, glm::vec3(1, 0, 0));
    Surface s(side < 0 ? "eye_left" : "eye_right", shapes::ellipsoid(centre, radii, basis), {0, 0, 1, 1},
              kEyeTextureSize, 24, 16);
    // Front view: the picture's x follows the eye's sideways axis, its y the eye's up axis.
    glm::vec3 across = basis[0], up = basis[1];
    auto shape = shapes::ellipsoid(centre, radii, basis);
    s.setUvMapping([=](float u, float v) {
        glm::vec3 d = shape(u, v) - centre;
        return glm::vec2(0.5f + 0.47f * glm::dot(d, across) / radii.x, 0.5f + 0.47f * glm::dot(d, up) / radii.y);
    });
    return s;
}

Surface ear(float side, UvRect rect) {
    glm::vec3 base(0.3f * side, -0.6f, 0.02f), tip(0.43f * side, -0.58f, 0.66f);
    auto curve = [=](float t) { return base + (tip - base) * t; };
    auto across = [](float t) { return (0.27f * (1 - t) + 0.025f) * shapes::roundedEnds(t, 0.1f, 0.08f); };
    auto thick = [](float t) { return (0.1f * (1 - t) + 0.02f) * shapes::roundedEnds(t, 0.1f, 0.08f); };
    return Surface(side < 0 ? "ear_left" : "ear_right", shapes::tube(curve, across, thick, glm::vec3(1, 0, 0)), rect,
                   kBodyTextureSize, 20, 14);
}

}  // namespace

std::vector<Surface> cushionParts() {
    auto shape = shapes::roundedBox(glm::vec3(0, 0.1f, -1.72f), glm::vec3(1.25f, 1.25f, 0.28f), 0.3f, 0.55f);
    Surface cushion("cushion", shape, {0, 0, 1, 1}, kPillowTextureSize, 64, 32);
    // Seen from above, like a picture of the cushion: the sides fall on the border of the picture.
    cushion.setUvMapping([shape](float s, float t) {
        glm::vec3 p = shape(s, t) - glm::vec3(0, 0.1f, 0);
        return glm::vec2(0.5f + 0.5f * p.x / kPillowUvHalfWidth, 0.5f + 0.5f * p.y / kPillowUvHalfWidth);
    });
    return {cushion};
}

std::vector<Surface> tailParts() {
    Curve curve({{0.0f, 0.95f, -1.25f},
                 {0.04f, 1.45f, -1.12f},
                 {0.12f, 1.75f, -0.72f},
                 {0.14f, 1.78f, -0.22f},
                 {0.06f, 1.6f, 0.18f},
                 {-0.06f, 1.32f, 0.32f}});
    auto radius = [](float t) { return (0.15f - 0.05f * t) * shapes::roundedEnds(t, 0.04f, 0.06f); };
    return {Surface("tail", shapes::tube(curve, radius, radius, glm::vec3(1, 0, 0)), {0, 0, 1, 1}, kTailTextureSize, 16,
                    48)};
}

std::vector<Surface> eyeParts() { return {eye(-1.0f), eye(1.0f)}; }

std::vector<Surface> bodyParts() {
    const int tex = kBodyTextureSize;
    std::vector<Surface> parts;
    parts.emplace_back("torso", shapes::ellipsoid(glm::vec3(0, 0.25f, -0.95f), glm::vec3(0.72f, 0.6f, 1.0f), kAlongY),
                       UvRect{0, 0.5f, 0.5f, 1}, tex, 40, 28);
    parts.emplace_back("head", shapes::ellipsoid(kHeadCentre, kHeadRadii), UvRect{0.5f, 0.5f, 1, 1}, tex, 36, 24);
    parts.emplace_back("haunch_left",
                       shapes::ellipsoid(glm::vec3(-0.48f, 0.55f, -1.18f), glm::vec3(0.3f, 0.34f, 0.5f), kAlongY),
                       UvRect{0, 0.25f, 0.25f, 0.5f}, tex, 20, 14);
    parts.emplace_back("haunch_right",
                       shapes::ellipsoid(glm::vec3(0.48f, 0.55f, -1.18f), glm::vec3(0.3f, 0.34f, 0.5f), kAlongY),
                       UvRect{0.25f, 0.25f, 0.5f, 0.5f}, tex, 20, 14);
    parts.emplace_back("muzzle", shapes::ellipsoid(glm::vec3(0, -1.08f, -0.42f), glm::vec3(0.25f, 0.14f, 0.17f)),
                       UvRect{0.5f, 0.25f, 0.75f, 0.5f}, tex, 24, 14);
    parts.push_back(ear(-1.0f, {0.75f, 0.25f, 0.875f, 0.5f}));
    parts.push_back(ear(1.0f, {0.875f, 0.25f, 1.0f, 0.5f}));
    parts.emplace_back("paw_left",
                       shapes::ellipsoid(glm::vec3(-0.28f, -0.66f, -1.43f), glm::vec3(0.16f, 0.13f, 0.28f), kAlongY),
                       UvRect{0, 0, 0.25f, 0.25f}, tex, 18, 12);
    parts.emplace_back("paw_right",
                       shapes::ellipsoid(glm::vec3(0.28f, -0.66f, -1.43f), glm::vec3(0.16f, 0.13f, 0.28f), kAlongY),
                       UvRect{0.25f, 0, 0.5f, 0.25f}, tex, 18, 12);
    return parts;
}

}  // namespace catrig
