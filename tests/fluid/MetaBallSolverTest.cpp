#include "fluid/MetaBallSolver.h"

#include "fluid/BlobbyShader.h"
#include "fluid/Liquid.h"
#include "render/Camera.h"
#include "render/Mesh.h"
#include "render/Renderer.h"
#include "support/GlContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

TEST(MetaBallSpawnTest, AccumulatorOwesFractionsAndPaysWholeParticles) {
    double owed = 0.0;
    for (int frame = 0; frame < 5; ++frame) EXPECT_EQ(MetaBallSolver::takeSpawnCount(owed, 0.1f, 10.0f, 300), 1u);

    owed = 0.0;
    std::vector<unsigned> halves;
    for (int frame = 0; frame < 6; ++frame) halves.push_back(MetaBallSolver::takeSpawnCount(owed, 0.05f, 10.0f, 300));
    EXPECT_EQ(halves, (std::vector<unsigned>{0, 1, 0, 1, 0, 1}));

    owed = 0.0;
    EXPECT_EQ(MetaBallSolver::takeSpawnCount(owed, 1.0f, 10.0f, 300), 10u);

    owed = 0.25;
    EXPECT_EQ(MetaBallSolver::takeSpawnCount(owed, 0.5f, 0.0f, 300), 0u);
    EXPECT_EQ(owed, 0.25);
}

TEST(MetaBallSpawnTest, LongOrBrokenFramesNeitherOverflowNorStall) {
    double owed = 0.0;
    EXPECT_EQ(MetaBallSolver::takeSpawnCount(owed, 1e9f, 10.0f, 300), 300u);
    EXPECT_GE(owed, 0.0);
    EXPECT_LT(owed, 1.0);

    owed = 0.5;
    EXPECT_EQ(MetaBallSolver::takeSpawnCount(owed, std::numeric_limits<float>::quiet_NaN(), 10.0f, 300), 0u);
    EXPECT_EQ(MetaBallSolver::takeSpawnCount(owed, 0.05f, 10.0f, 300), 1u);  // still spawning
}

class MetaBallSolverTest : public testsupport::GlTest {
protected:
    static constexpr int kSide = 16;

    void SetUp() override {
        GlTest::SetUp();
        camera = std::make_shared<Camera>(1.0f);
        renderer = std::make_shared<Renderer>(camera);
        while (glGetError() != GL_NO_ERROR) {}
        solver = makeSolver();
    }

    std::shared_ptr<MetaBallSolver> makeSolver() {
        auto made = std::make_shared<MetaBallSolver>();
        std::vector<glm::vec4> flow(kSide * kSide * kSide);
        for (int i = 0; i < kSide; ++i)
            for (int j = 0; j < kSide; ++j)
                for (int k = 0; k < kSide; ++k)
                    flow[i + kSide * j + kSide * kSide * k] =
                        glm::vec4(Liquid::flowDirection(i, j, k, glm::ivec3(kSide)), 0);
        made->setup(dims, flow, kSide);
        EXPECT_TRUE(flow.empty());
        made->random = [] { return 16383; };
        return made;
    }

    std::vector<glm::vec4> read(GLuint buffer, size_t count) {
        std::vector<glm::vec4> records(count);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, buffer);
        glGetBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, count * sizeof(glm::vec4), records.data());
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
        return records;
    }

    glm::vec4 gridPoint(int x, int y, int z) {
        glm::vec4 record;
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, solver->densityBuffer);
        glGetBufferSubData(GL_SHADER_STORAGE_BUFFER, (x + kSide * y + kSide * kSide * z) * sizeof(glm::vec4),
                           sizeof(glm::vec4), &record);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
        return record;
    }

    const glm::vec3 dims{kSide, kSide, kSide};
    const glm::vec3 spawn{7.5f, 0.5f, 7.5f};
    std::shared_ptr<Camera> camera;
    std::shared_ptr<Renderer> renderer;
    std::shared_ptr<MetaBallSolver> solver;
};

TEST_F(MetaBallSolverTest, SpawnsWhatTheFrameTimeOwes) {
    std::vector<unsigned> counts;
    for (int frame = 0; frame < 3; ++frame) {
        solver->update(0.1f, dims, spawn, 10.0f);
        counts.push_back(solver->pointCount);
    }
    EXPECT_EQ(counts, (std::vector<unsigned>{2, 3, 4}));

    solver = makeSolver();
    counts.clear();
    for (int frame = 0; frame < 4; ++frame) {
        solver->update(0.05f, dims, spawn, 10.0f);
        counts.push_back(solver->pointCount);
    }
    EXPECT_EQ(counts, (std::vector<unsigned>{1, 2, 2, 3}));

    solver = makeSolver();
    solver->update(1.0f, dims, spawn, 10.0f);
    EXPECT_EQ(solver->pointCount, 11u);

    solver = makeSolver();
    solver->update(0.5f, dims, spawn, 0.0f);
    EXPECT_EQ(solver->pointCount, 1u);
    EXPECT_EQ(solver->spawnAccumulator, 0.0);
}

TEST_F(MetaBallSolverTest, NeverHoldsMoreThanItsCapacity) {
    unsigned most = 0;
    for (int frame = 0; frame < 12; ++frame) {
        solver->update(0.25f, dims, spawn, 200.0f);
        most = std::max(most, solver->pointCount);
        EXPECT_LE(solver->pointCount, 300u);
    }
    EXPECT_EQ(most, 300u);
    // The written set is the full buffer: every record is a live particle inside the grid.
    for (const glm::vec4& p : read(solver->positionBuffers[solver->current], 300)) {
        EXPECT_TRUE(p.x >= 0.0f && p.x <= kSide && p.y >= 0.0f && p.y <= kSide && p.w > 0.0f);
    }
}

TEST_F(MetaBallSolverTest, FirstStepMovesTheInitialParticleAndTheGridShowsIt) {
    solver->update(0.01f, dims, spawn, 0.0f);
    ASSERT_EQ(solver->pointCount, 1u);
    EXPECT_EQ(solver->current, 1);
    const glm::vec4 moved = read(solver->positionBuffers[1], 1)[0];
    EXPECT_NEAR(moved.x, 5.0f, 0.01f);
    EXPECT_NEAR(moved.z, 5.0f, 0.01f);
    EXPECT_NEAR(read(solver->velocityBuffers[1], 1)[0].w, 9.99f, 1e-4f);

    // The density pass draws the set the step read: the initial particle at (5, 5, 5).
    solver->computeDensity(dims);
    const glm::vec4 centre = gridPoint(5, 5, 5);
    EXPECT_NEAR(centre.w, 1.0f, 0.02f);
    EXPECT_GT(gridPoint(6, 5, 5).w, 0.0f);
    EXPECT_LT(gridPoint(6, 5, 5).x, 0.0f);  // the field falls away from the particle
    EXPECT_EQ(gridPoint(10, 10, 10).w, 0.0f);
}

TEST_F(MetaBallSolverTest, DensityPassWritesEveryGridPoint) {
    for (int frame = 0; frame < 5; ++frame) solver->update(0.1f, dims, spawn, 10.0f);
    const size_t points = kSide * kSide * kSide;
    const std::vector<glm::vec4> poison(points, glm::vec4(-12345.0f));
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, solver->densityBuffer);
    glBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, points * sizeof(glm::vec4), poison.data());
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);

    solver->computeDensity(dims);
    const std::vector<glm::vec4> grid = read(solver->densityBuffer, points);
    size_t poisoned = 0, filled = 0;
    for (const glm::vec4& record : grid) {
        if (record.w == -12345.0f || record.x == -12345.0f) ++poisoned;
        if (record.w > 0.0f) ++filled;
    }
    EXPECT_EQ(poisoned, 0u);
    EXPECT_GT(filled, 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MetaBallSolverTest, JetRisesAsHighInWorldUnitsAtAnyResolution) {
    auto jetHeight = [&](int pointsPerUnit) {
        Liquid fountain({1, 1, 1}, {0, 0, 0}, 6.0f, {0, 0, 0}, 10.0f, pointsPerUnit);
        fountain.solver->random = [] { return 16383; };
        float highest = 0.0f;
        for (int frame = 0; frame < 60; ++frame) {
            fountain.simulate(0.05f);
            const MetaBallSolver& s = *fountain.solver;
            for (const glm::vec4& p : read(s.positionBuffers[s.current], s.pointCount))
                highest = std::max(highest, p.y);
        }
        return highest / static_cast<float>(pointsPerUnit);
    };
    const float reference = jetHeight(40);
    EXPECT_GT(reference, 0.4f) << "the jet rises well into the fountain's unit box";
    EXPECT_NEAR(jetHeight(16), reference, 0.05f);
    EXPECT_NEAR(jetHeight(96), reference, 0.05f);
}

// What the surface draw produces (triangles), counted by the GL.
GLuint surfaceTriangles(Renderer& renderer, Liquid& fountain) {
    GLuint query = 0, result = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    fountain.solver->computeDensity(fountain.dimensions);
    renderer.renderFluid(*fountain.surfaceMesh, fountain.getModelMatrix(), fountain.dimensions);
    glEndQuery(GL_PRIMITIVES_GENERATED);
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &result);
    glDeleteQueries(1, &query);
    return result;
}

TEST_F(MetaBallSolverTest, EachSurfaceDrawSeesItsOwnFountainsGrid) {
    Liquid flowing({1, 1, 1}, {0, 0, 0}, 6.0f, {0, 0, 0}, 10.0f, kSide);
    Liquid still({1, 1, 1}, {0, 0, 0}, 6.0f, {0, 0, 0}, 10.0f, kSide);
    for (int frame = 0; frame < 3; ++frame) flowing.solver->update(0.1f, dims, flowing.spawnPosition, 10.0f);
    // `still` has never stepped: the set it draws is empty.

    const GLuint flowingFirst = surfaceTriangles(*renderer, flowing);
    EXPECT_EQ(surfaceTriangles(*renderer, still), 0u);
    EXPECT_GT(flowingFirst, 0u);
    EXPECT_EQ(surfaceTriangles(*renderer, flowing), flowingFirst);
}

}  // namespace
