#include "Gem.h"

#include <cmath>
#include <utility>

namespace {

const float kPi = 3.14159265f;
const int kSides = 8;

// Adds a flat facet wound so that its normal points away from the gem's centre (the gem is convex
// and contains the origin).
void facet(MeshBuilder& mesh, glm::vec3 a, glm::vec3 b, glm::vec3 c, float column, float height) {
    auto uvOf = [&](const glm::vec3& p) { return glm::vec2(column, 0.08f + 0.84f * (p.z / height + 0.5f)); };
    glm::vec3 n = glm::cross(b - a, c - a);
    if (glm::dot(n, (a + b + c) / 3.0f) < 0) std::swap(b, c);
    mesh.addFlatTriangle(a, b, c, uvOf(a), uvOf(b), uvOf(c));
}

glm::vec3 ring(float radius, float z, float angle) { return {radius * std::cos(angle), radius * std::sin(angle), z}; }

}  // namespace

MeshBuilder buildGem(float height) {
    const float half = height / 2;
    const float tableZ = half, girdleTop = half * 0.3f, girdleBottom = half * 0.12f, culetZ = -half;
    const float tableR = 0.27f * height, girdleR = 0.46f * height;
    MeshBuilder mesh;
    glm::vec3 centreTop(0, 0, tableZ);
    for (int i = 0; i < kSides; ++i) {
        float a0 = 2 * kPi * i / kSides, a1 = 2 * kPi * (i + 1) / kSides, am = (a0 + a1) / 2;
        // Table: bright, almost white.
        glm::vec3 t0 = ring(tableR, tableZ, am - kPi / kSides), t1 = ring(tableR, tableZ, am + kPi / kSides);
        mesh.addFlatTriangle(centreTop, t0, t1, {0.25f, 0.96f}, {0.22f, 0.94f}, {0.28f, 0.94f});
        // Crown: star facets from the table edge, and the facets between them down to the girdle.
        glm::vec3 g0 = ring(girdleR, girdleTop, a0), g1 = ring(girdleR, girdleTop, a1);
        glm::vec3 gm = ring(girdleR, girdleTop, am);
        glm::vec3 tNext = ring(tableR, tableZ, am + kPi / kSides), tPrev = ring(tableR, tableZ, am - kPi / kSides);
        facet(mesh, tPrev, tNext, gm, 0.25f, height);
        facet(mesh, tPrev, gm, g0, 0.75f, height);
        facet(mesh, tNext, g1, gm, 0.75f, height);
        // Girdle band, through the same midpoints as the crown and the pavilion so no gap opens.
        glm::vec3 b0 = ring(girdleR, girdleBottom, a0), b1 = ring(girdleR, girdleBottom, a1);
        glm::vec3 bm = ring(girdleR, girdleBottom, am);
        facet(mesh, g0, b0, bm, 0.75f, height);
        facet(mesh, g0, bm, gm, 0.75f, height);
        facet(mesh, gm, bm, b1, 0.25f, height);
        facet(mesh, gm, b1, g1, 0.25f, height);
        // Pavilion: two facets per side meeting at the culet.
        glm::vec3 culet(0, 0, culetZ);
        facet(mesh, b0, culet, bm, 0.25f, height);
        facet(mesh, bm, culet, b1, 0.75f, height);
    }
    return mesh;
}
