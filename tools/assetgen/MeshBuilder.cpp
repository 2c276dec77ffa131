#include "MeshBuilder.h"

#include <limits>

#include "Surface.h"

namespace {

// A triangle with two corners at one point: what a grid row collapses to at a pole (the pole's
// corners differ only by rounding there).
bool degenerate(const glm::vec3& a, const glm::vec3& b, const glm::vec3& c) {
    const float e = 1e-5f;
    return glm::distance(a, b) < e || glm::distance(b, c) < e || glm::distance(a, c) < e;
}

}  // namespace

MeshBuilder MeshBuilder::fromSurfaces(const std::vector<Surface>& parts) {
    MeshBuilder mesh;
    for (const Surface& part : parts) mesh.addSurface(part);
    return mesh;
}

uint32_t MeshBuilder::addVertex(const MeshVertex& vertex) {
    verts.push_back(vertex);
    return static_cast<uint32_t>(verts.size() - 1);
}

void MeshBuilder::addTriangle(uint32_t a, uint32_t b, uint32_t c) { idx.insert(idx.end(), {a, b, c}); }

void MeshBuilder::addFlatTriangle(const glm::vec3& p0, const glm::vec3& p1, const glm::vec3& p2, const glm::vec2& uv0,
                                  const glm::vec2& uv1, const glm::vec2& uv2) {
    glm::vec3 n = glm::normalize(glm::cross(p1 - p0, p2 - p0));
    uint32_t a = addVertex({p0, n, uv0});
    uint32_t b = addVertex({p1, n, uv1});
    uint32_t c = addVertex({p2, n, uv2});
    addTriangle(a, b, c);
}

void MeshBuilder::addFlatQuad(const glm::vec3 p[4], const glm::vec2 uv[4]) {
    glm::vec3 n = glm::normalize(glm::cross(p[1] - p[0], p[2] - p[0]));
    uint32_t base = static_cast<uint32_t>(verts.size());
    for (int i = 0; i < 4; ++i) addVertex({p[i], n, uv[i]});
    addTriangle(base, base + 1, base + 2);
    addTriangle(base, base + 2, base + 3);
}

void MeshBuilder::addSurface(const Surface& surface) {
    int cols = surface.columns(), rows = surface.rows();
    uint32_t base = static_cast<uint32_t>(verts.size());
    for (int j = 0; j <= rows; ++j) {
        float t = static_cast<float>(j) / rows;
        for (int i = 0; i <= cols; ++i) {
            float s = static_cast<float>(i) / cols;
            addVertex({surface.position(s, t), surface.normal(s, t), surface.uv(s, t)});
        }
    }
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < cols; ++i) {
            uint32_t v00 = base + j * (cols + 1) + i, v10 = v00 + 1;
            uint32_t v01 = v00 + (cols + 1), v11 = v01 + 1;
            // A quad touching a pole collapses to one triangle; drop the degenerate half.
            if (!degenerate(verts[v00].position, verts[v10].position, verts[v11].position)) addTriangle(v00, v10, v11);
            if (!degenerate(verts[v00].position, verts[v11].position, verts[v01].position)) addTriangle(v00, v11, v01);
        }
}

void MeshBuilder::append(const MeshBuilder& other) {
    uint32_t base = static_cast<uint32_t>(verts.size());
    verts.insert(verts.end(), other.verts.begin(), other.verts.end());
    for (uint32_t i : other.idx) idx.push_back(base + i);
}

void MeshBuilder::transform(const glm::mat4& m) {
    glm::mat3 normalMatrix = glm::transpose(glm::inverse(glm::mat3(m)));
    for (MeshVertex& v : verts) {
        v.position = glm::vec3(m * glm::vec4(v.position, 1.0f));
        v.normal = glm::normalize(normalMatrix * v.normal);
    }
}

glm::vec3 MeshBuilder::minCorner() const {
    glm::vec3 c(std::numeric_limits<float>::max());
    for (const MeshVertex& v : verts) c = glm::min(c, v.position);
    return c;
}

glm::vec3 MeshBuilder::maxCorner() const {
    glm::vec3 c(-std::numeric_limits<float>::max());
    for (const MeshVertex& v : verts) c = glm::max(c, v.position);
    return c;
}
