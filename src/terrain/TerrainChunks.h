#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <array>
#include <functional>
#include <limits>
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
    // A run of the index buffer.
    struct Range {
        GLsizei first = 0;
        GLsizei count = 0;
    };

    // One chunk: its range of the index buffer and the bounds of its triangles.
    struct Chunk {
        GLsizei firstIndex = 0;
        GLsizei indexCount = 0;
        glm::vec3 min{0.0f};
        glm::vec3 max{0.0f};
        // The same surface with fewer triangles over the same vertices, its border with the other
        // chunks kept corner for corner: [0] lightly, [1] strongly simplified (see simplify). Where
        // nothing could be taken away a list is the one before it.
        std::array<Range, 2> coarser{};
    };

    // From which distance (eye to the nearest point of a chunk's box, world units) a pass draws the
    // lightly and the strongly simplified lists; the default draws every chunk whole.
    struct Detail {
        float lightFrom = std::numeric_limits<float>::infinity();
        float coarseFrom = std::numeric_limits<float>::infinity();
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

    // Gives each chunk of `layout` its simplified lists, appended after all the full ones: as many
    // triangles go as can while no point of the surface moves farther than `lightError` (for the
    // first) or `coarseError` (the second) world units. Corners on a chunk's border never move nor go,
    // so that chunks drawn at different detail still meet without a crack.
    static void simplify(Layout& layout, float lightError, float coarseError);

    // The list `detail` picks for a chunk whose box lies `distance` from the eye.
    static Range listAt(const Chunk& chunk, float distance, const Detail& detail);

    // Uploads `layout` (positions as attribute 0, normals as attribute 2, the indices). Needs the
    // current context; leaves no vertex array bound.
    explicit TerrainChunks(const Layout& layout);

    // Draws the chunks `visible` accepts, nearest to `eye` first, as indexed triangles, each from the
    // list `detail` picks for it (without one, the full lists). Binds the vertex array with attributes
    // 0 and 2 enabled and leaves it so; returns the chunks drawn.
    int draw(const BoxTest& visible, const glm::vec3& eye, const Detail& detail) const;
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
