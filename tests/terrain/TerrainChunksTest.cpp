#include "terrain/TerrainChunks.h"

#include "render/BoxVisibility.h"
#include "render/Camera.h"
#include "render/ShadowShader.h"
#include "render/UniformMatrix.h"
#include "support/GlContext.h"
#include "support/GlProbes.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cmath>
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

}  // namespace

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
// far one fails the depth test wherever it would show.
TEST_F(TerrainChunksGlTest, NearerChunksAreDrawnFirstSoTheyHideWhatLiesBehind) {
    std::vector<float> positions, normals;
    for (const glm::vec2& square : {glm::vec2(-60, 4), glm::vec2(-5, 1)}) {  // depth and half size
        const float z = square.x, h = square.y;
        addTriangle(positions, normals, {-h, -h, z}, {h, -h, z}, {h, h, z});
        addTriangle(positions, normals, {-h, -h, z}, {h, h, z}, {-h, h, z});
    }
    const TerrainChunks chunks(TerrainChunks::build(positions, normals, 10.0f));
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
        return testsupport::countDuring(GL_SAMPLES_PASSED, [&] { chunks.draw(visible, glm::vec3(0.0f)); });
    };
    const GLuint nearOnly = samples([](const glm::vec3& min, const glm::vec3&) { return min.z > -10.0f; });
    EXPECT_GT(nearOnly, 0u);
    EXPECT_EQ(samples(nullptr), nearOnly);
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
