#include "terrain/TerrainChunks.h"

#include "render/BoxVisibility.h"
#include "render/Camera.h"
#include "render/ShadowShader.h"
#include "render/UniformMatrix.h"
#include "support/GlContext.h"
#include "support/GlProbes.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace {

// Appends one triangle with the same normal at all three corners.
void addTriangle(std::vector<float>& positions, std::vector<float>& normals, const glm::vec3& a, const glm::vec3& b,
                 const glm::vec3& c, const glm::vec3& n = glm::vec3(0, 1, 0)) {
    for (const glm::vec3& p : {a, b, c}) {
        positions.insert(positions.end(), {p.x, p.y, p.z});
        normals.insert(normals.end(), {n.x, n.y, n.z});
    }
}

glm::vec3 vertex(const TerrainChunks::Layout& layout, GLuint index) {
    return glm::vec3(layout.positions[3 * index], layout.positions[3 * index + 1], layout.positions[3 * index + 2]);
}

// Gently rolling ground over 200 by 200 units in cells of 2, and one lone triangle far away.
void bumpyGround(std::vector<float>& positions, std::vector<float>& normals) {
    const auto at = [](float x, float z) { return glm::vec3(x, 3.0f * std::sin(x / 15.0f) * std::cos(z / 20.0f), z); };
    for (float x = 0.0f; x < 200.0f; x += 2.0f)
        for (float z = 0.0f; z < 200.0f; z += 2.0f) {
            addTriangle(positions, normals, at(x, z), at(x, z + 2), at(x + 2, z));
            addTriangle(positions, normals, at(x + 2, z), at(x, z + 2), at(x + 2, z + 2));
        }
    addTriangle(positions, normals, {1000, 0, 1000}, {1001, 0, 1000}, {1000, 0, 1001});
}

// Each undirected edge of the triangles in `range` with the number of triangles that use it.
std::map<std::pair<GLuint, GLuint>, int> edgesOf(const TerrainChunks::Layout& layout, TerrainChunks::Range range) {
    std::map<std::pair<GLuint, GLuint>, int> edges;
    for (GLsizei i = range.first; i < range.first + range.count; i += 3)
        for (int k = 0; k < 3; ++k) {
            const GLuint a = layout.indices[static_cast<size_t>(i + k)];
            const GLuint b = layout.indices[static_cast<size_t>(i + (k + 1) % 3)];
            ++edges[std::minmax(a, b)];
        }
    return edges;
}

// How far the ground of `range` (seen from above) lies from the vertex `corner`; infinite where none
// of its triangles covers the corner's place.
float heightGap(const TerrainChunks::Layout& layout, TerrainChunks::Range range, GLuint corner) {
    const glm::vec3 p = vertex(layout, corner);
    for (GLsizei i = range.first; i < range.first + range.count; i += 3) {
        const glm::vec3 a = vertex(layout, layout.indices[static_cast<size_t>(i)]);
        const glm::vec3 b = vertex(layout, layout.indices[static_cast<size_t>(i + 1)]);
        const glm::vec3 c = vertex(layout, layout.indices[static_cast<size_t>(i + 2)]);
        const glm::vec2 u(b.x - a.x, b.z - a.z), v(c.x - a.x, c.z - a.z), w(p.x - a.x, p.z - a.z);
        const float area = u.x * v.y - u.y * v.x;
        const float s = (w.x * v.y - w.y * v.x) / area, t = (u.x * w.y - u.y * w.x) / area;
        if (s >= -1e-4f && t >= -1e-4f && s + t <= 1.0001f)
            return std::abs(a.y + s * (b.y - a.y) + t * (c.y - a.y) - p.y);
    }
    return INFINITY;
}

}  // namespace

// Chunks drawn at different detail meet without cracks only if every list of a chunk has the same
// border, edge for edge; a simplified list must use the chunk's own corners and be shorter than the
// one before it, and a chunk with nothing to take away keeps its list.
TEST(TerrainChunks, SimplifiedListsKeepTheChunksBorderAndCorners) {
    std::vector<float> positions, normals;
    bumpyGround(positions, normals);
    TerrainChunks::Layout layout = TerrainChunks::build(positions, normals, 100.0f);
    const size_t fullIndices = layout.indices.size();
    TerrainChunks::simplify(layout, 0.05f, 0.5f);
    ASSERT_EQ(layout.chunks.size(), 5u);
    for (const TerrainChunks::Chunk& chunk : layout.chunks) {
        const TerrainChunks::Range full{chunk.firstIndex, chunk.indexCount};
        if (chunk.indexCount == 3) {  // the lone triangle
            for (const TerrainChunks::Range& list : chunk.coarser)
                EXPECT_TRUE(list.first == full.first && list.count == full.count);
            continue;
        }
        const auto fullEdges = edgesOf(layout, full);
        std::set<GLuint> corners;
        for (const auto& [edge, uses] : fullEdges) corners.insert({edge.first, edge.second});
        GLsizei before = chunk.indexCount;
        for (const TerrainChunks::Range& list : chunk.coarser) {
            EXPECT_GE(static_cast<size_t>(list.first), fullIndices);
            ASSERT_LE(static_cast<size_t>(list.first + list.count), layout.indices.size());
            EXPECT_LT(list.count, before);
            before = list.count;
            const auto edges = edgesOf(layout, list);
            for (const auto& [edge, uses] : fullEdges) {
                const int kept = edges.count(edge) ? edges.at(edge) : 0;
                EXPECT_TRUE(uses != 1 || kept == 1) << "border edge lost at " << chunk.min.x << " " << chunk.min.z;
            }
            for (const auto& [edge, uses] : edges) EXPECT_TRUE(corners.count(edge.first) && corners.count(edge.second));
        }
        // The errors are world units: the simplified ground stays that close to every corner of the full one.
        const std::vector<GLuint> sample(corners.begin(), corners.end());
        for (size_t k = 0; k < sample.size(); k += 7) {
            EXPECT_LE(heightGap(layout, chunk.coarser[0], sample[k]), 0.1f);
            EXPECT_LE(heightGap(layout, chunk.coarser[1], sample[k]), 1.0f);
        }
        const TerrainChunks::Detail detail{10.0f, 50.0f};
        EXPECT_EQ(TerrainChunks::listAt(chunk, 9.9f, detail).count, chunk.indexCount);
        EXPECT_EQ(TerrainChunks::listAt(chunk, 10.0f, detail).first, chunk.coarser[0].first);
        EXPECT_EQ(TerrainChunks::listAt(chunk, 50.0f, detail).first, chunk.coarser[1].first);
    }
}

TEST(TerrainChunks, EqualCornersShareOneVertexUnlessTheirNormalsDiffer) {
    std::vector<float> positions, normals;
    addTriangle(positions, normals, {0, 0, 0}, {1, 0, 0}, {0, 0, 1});
    addTriangle(positions, normals, {1, 0, 0}, {1, 0, 1}, {0, 0, 1});
    addTriangle(positions, normals, {1, 0, 1}, {2, 0, 1}, {1, 0, 0}, glm::vec3(1, 0, 0));
    // A fan of 60 triangles meeting at (5, 0, 5), each with a normal of its own: 60 vertices there.
    for (int i = 0; i < 60; ++i) {
        const float a = 0.1f * static_cast<float>(i);
        addTriangle(positions, normals, {5, 0, 5}, {5 + std::cos(a), 0, 5 + std::sin(a)},
                    {5 + std::cos(a + 0.1f), 0, 5 + std::sin(a + 0.1f)}, glm::vec3(std::sin(a), 1, std::cos(a)));
    }
    const TerrainChunks::Layout layout = TerrainChunks::build(positions, normals, 100.0f);
    ASSERT_EQ(layout.indices.size(), 9u + 180u);
    // The first two share 4, the third has 3 of its own and so has each triangle of the fan.
    EXPECT_EQ(layout.positions.size(), 3u * (7u + 180u));
    for (size_t corner = 0; corner < layout.indices.size(); ++corner) {
        const glm::vec3 original(positions[3 * corner], positions[3 * corner + 1], positions[3 * corner + 2]);
        EXPECT_EQ(vertex(layout, layout.indices[corner]), original) << corner;
        EXPECT_EQ(layout.normals[3 * layout.indices[corner]], normals[3 * corner]) << corner;
        EXPECT_EQ(layout.normals[3 * layout.indices[corner] + 2], normals[3 * corner + 2]) << corner;
    }
}

TEST(TerrainChunks, EveryTriangleLandsInTheChunkOfItsCentreOnce) {
    std::vector<float> positions, normals;
    // The grid starts at x = 5, z = 25: each axis is measured from its own low end.
    const glm::vec2 low(5.0f, 25.0f);
    for (float x = low.x; x < 250.0f; x += 20.0f)
        for (float z = low.y; z < 270.0f; z += 20.0f)
            addTriangle(positions, normals, {x, z * 0.1f, z}, {x + 12.0f, 3.0f, z}, {x, 0.0f, z + 12.0f});
    const size_t triangles = positions.size() / 9;
    const TerrainChunks::Layout layout = TerrainChunks::build(positions, normals, 100.0f);
    ASSERT_EQ(layout.chunks.size(), 9u);  // 3 x 3 chunks of 100 cover the 257 by 257 units
    GLsizei next = 0;
    for (const TerrainChunks::Chunk& chunk : layout.chunks) {
        EXPECT_EQ(chunk.firstIndex, next);  // consecutive ranges: each index in one chunk
        next += chunk.indexCount;
        const glm::vec2 cell = glm::floor((glm::vec2(chunk.min.x, chunk.min.z) - low) / 100.0f);
        for (GLsizei i = chunk.firstIndex; i < chunk.firstIndex + chunk.indexCount; i += 3) {
            glm::vec3 centre(0.0f);
            for (int k = 0; k < 3; ++k) {
                const glm::vec3 p = vertex(layout, layout.indices[static_cast<size_t>(i + k)]);
                EXPECT_TRUE(glm::all(glm::greaterThanEqual(p, chunk.min)) &&
                            glm::all(glm::lessThanEqual(p, chunk.max)));
                centre += p / 3.0f;
            }
            EXPECT_EQ(glm::floor((glm::vec2(centre.x, centre.z) - low) / 100.0f), cell);
        }
    }
    EXPECT_EQ(static_cast<size_t>(next), 3 * triangles);
}

using TerrainChunksGlTest = testsupport::GlTest;

// Two squares facing the eye, one far behind the other, in chunks of their own: drawn nearest first, the
// far one fails the depth test wherever it would show. And each chunk is drawn from the list its
// distance picks: whole, lightly or strongly simplified.
TEST_F(TerrainChunksGlTest, NearerChunksGoFirstEachAtTheDetailOfItsDistance) {
    std::vector<float> positions, normals;
    for (const glm::vec2& square : {glm::vec2(-60, 4), glm::vec2(-5, 1)}) {  // depth and half size
        const float z = square.x, h = square.y;
        addTriangle(positions, normals, {-h, -h, z}, {h, -h, z}, {h, h, z});
        addTriangle(positions, normals, {-h, -h, z}, {h, h, z}, {-h, h, z});
    }
    const TerrainChunks squares(TerrainChunks::build(positions, normals, 10.0f));
    ShadowShader depthOnly;
    depthOnly.init();
    glUseProgram(depthOnly.programId);
    setMatrix(depthOnly.projectionMatrixLocation, glm::perspective(1.0f, 1.0f, 0.1f, 100.0f));
    setMatrix(depthOnly.viewMatrixLocation, glm::mat4(1.0f));
    setMatrix(depthOnly.modelMatrixLocation, glm::mat4(1.0f));
    testsupport::OffscreenTarget target(32);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    const auto samples = [&](const TerrainChunks::BoxTest& visible) {
        target.clear();
        return testsupport::countDuring(GL_SAMPLES_PASSED, [&] { squares.draw(visible, glm::vec3(0.0f)); });
    };
    const GLuint nearOnly = samples([](const glm::vec3& min, const glm::vec3&) { return min.z > -10.0f; });
    EXPECT_GT(nearOnly, 0u);
    EXPECT_EQ(samples(nullptr), nearOnly);

    positions.clear();
    normals.clear();
    bumpyGround(positions, normals);
    TerrainChunks::Layout layout = TerrainChunks::build(positions, normals, 100.0f);
    TerrainChunks::simplify(layout, 0.05f, 0.5f);
    const TerrainChunks ground(layout);
    const auto triangles = [&](const TerrainChunks::Detail& detail) {
        return testsupport::countDuring(GL_PRIMITIVES_GENERATED,
                                        [&] { ground.draw(nullptr, glm::vec3(0.0f), detail); });
    };
    // Seen from the corner at the origin, the chunk there is 0 units away, the others 100 and more.
    GLuint light = 0, coarse = 0, nearLight = 0;
    for (const TerrainChunks::Chunk& chunk : layout.chunks) {
        light += static_cast<GLuint>(chunk.coarser[0].count / 3);
        coarse += static_cast<GLuint>(chunk.coarser[1].count / 3);
        nearLight += static_cast<GLuint>(
            (chunk.min.x < 1.0f && chunk.min.z < 1.0f ? chunk.coarser[0] : chunk.coarser[1]).count / 3);
    }
    EXPECT_EQ(triangles(TerrainChunks::Detail()), positions.size() / 9);
    EXPECT_EQ(triangles(TerrainChunks::Detail{0.0f, 1e9f}), light);
    EXPECT_EQ(triangles(TerrainChunks::Detail{0.0f, 0.0f}), coarse);
    EXPECT_EQ(triangles(TerrainChunks::Detail{0.0f, 50.0f}), nearLight);
    glBindVertexArray(0);
}

TEST(BoxVisibility, BoxesAreRuledOutOnlyWhenWhollyOutside) {
    Camera camera(16.0f / 9.0f);  // at the origin, looking down -z
    camera.updateFrustum(0.0f);
    const Frustum& view = camera.frustum;
    EXPECT_TRUE(boxMayBeInFrustum(view, {-1, -1, -20}, {1, 1, -10}));
    EXPECT_FALSE(boxMayBeInFrustum(view, {-1, -1, 5}, {1, 1, 10}));      // behind
    EXPECT_TRUE(boxMayBeInFrustum(view, {-100, -1, -20}, {0, 1, -10}));  // across the left plane

    const glm::vec4 aboveWater(0, 1, 0, -4);  // keeps y >= 4
    EXPECT_FALSE(boxMayBeAbovePlane(aboveWater, {0, -10, 0}, {50, 3.9f, 50}));
    EXPECT_TRUE(boxMayBeAbovePlane(aboveWater, {0, -10, 0}, {50, 4.5f, 50}));

    const glm::mat4 box = glm::ortho(-10.0f, 10.0f, -10.0f, 10.0f, -100.0f, 100.0f);
    EXPECT_TRUE(boxMayCoverClipSquare(box, {9, 0, 0}, {20, 1, 1}));
    EXPECT_FALSE(boxMayCoverClipSquare(box, {11, 0, 0}, {20, 1, 1}));
    EXPECT_TRUE(boxMayCoverClipSquare(box, {0, 0, 500}, {1, 1, 600}));  // depth is never a reason
    EXPECT_TRUE(boxMayCoverClipSquare(glm::perspective(1.0f, 1.0f, 0.1f, 100.0f), {-1, -1, -1}, {1, 1, 1}))
        << "a box around the eye of a perspective view is kept";
}
