#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class VertexArray;

// The landscape's surface as one indexed vertex array cut into square chunks over x and z, so that a
// pass draws only the chunks its view can reach, nearest first. The marching cubes give every
// triangle its own three corners; equal corners are shared here, which leaves about a sixth of the
// vertices to shade.
class TerrainChunks {
public:
    // One chunk: its range of the index buffer and the bounds of its triangles.
    struct Chunk {
        GLsizei firstIndex = 0;
        GLsizei indexCount = 0;
        glm::vec3 min{0.0f};
        glm::vec3 max{0.0f};
    };

    // The host side of the chunks: shared corners (position and normal, three floats each), the
    // triangles as indices grouped chunk by chunk, and the chunks that hold any triangle.
    struct Layout {
        std::vector<float> positions;
        std::vector<float> normals;
        std::vector<GLuint> indices;
        std::vector<Chunk> chunks;
    };

    // Which chunks a pass needs: true when the box (min, max) may show.
    using BoxTest = std::function<bool(const glm::vec3& min, const glm::vec3& max)>;

    // Corners equal in position and normal become one vertex; each triangle goes to the chunk of
    // `chunkSize` world units (over x and z) that holds its centre. `positions` and `normals` hold
    // three floats per corner, three corners per triangle.
    static Layout build(const std::vector<float>& positions, const std::vector<float>& normals, float chunkSize);

    // Uploads `layout` (positions as attribute 0, normals as attribute 2, the indices). Needs the
    // current context; leaves no vertex array bound.
    explicit TerrainChunks(const Layout& layout);

    // Draws the chunks `visible` accepts, nearest to `eye` first, as indexed triangles. Binds the
    // vertex array with attributes 0 and 2 enabled and leaves it so; returns the chunks drawn.
    int draw(const BoxTest& visible, const glm::vec3& eye) const;

    const std::vector<Chunk>& chunks() const { return parts; }
    int vertexCount() const { return vertices; }
    GLuint vaoId() const;

private:
    std::vector<Chunk> parts;
    mutable std::vector<std::pair<float, const Chunk*>> order;  // kept to spare an allocation per draw
    int vertices = 0;
    std::shared_ptr<VertexArray> vertexArray;
};
