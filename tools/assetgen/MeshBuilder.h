#pragma once

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

class Surface;

struct MeshVertex {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec2 uv;
};

// Collects indexed triangles for one mesh of a model file. Triangles wind counter-clockwise seen
// from the side their normals point to, because the game culls back faces.
class MeshBuilder {
public:
    // One mesh made of several parametric parts.
    static MeshBuilder fromSurfaces(const std::vector<Surface>& parts);

    uint32_t addVertex(const MeshVertex& vertex);
    void addTriangle(uint32_t a, uint32_t b, uint32_t c);
    // A facet with its own three vertices and the face normal (hard edges).
    void addFlatTriangle(const glm::vec3& p0, const glm::vec3& p1, const glm::vec3& p2, const glm::vec2& uv0,
                         const glm::vec2& uv1, const glm::vec2& uv2);
    // A quad of two flat triangles, corners counter-clockwise.
    void addFlatQuad(const glm::vec3 p[4], const glm::vec2 uv[4]);
    // Tessellates a parametric surface into a grid with smooth normals.
    void addSurface(const Surface& surface);
    void append(const MeshBuilder& other);
    // Moves positions by `m` and turns normals with it.
    void transform(const glm::mat4& m);

    const std::vector<MeshVertex>& vertices() const { return verts; }
    const std::vector<uint32_t>& indices() const { return idx; }
    glm::vec3 minCorner() const;
    glm::vec3 maxCorner() const;

private:
    std::vector<MeshVertex> verts;
    std::vector<uint32_t> idx;
};
