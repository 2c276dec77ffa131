#include "fluid/Liquid.h"

#include "fluid/BlobbyShader.h"
#include "fluid/MetaBallSolver.h"
#include "render/Camera.h"
#include "render/DirectionalLight.h"
#include "render/Mesh.h"
#include "render/VaoLoader.h"
#include "view/Renderer.h"
#include "support/GlContext.h"
#include "support/GlProbes.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace {

TEST(Liquid, FlowsDownAndInwardRestsOnTheFloorAndIsDrawnOnlyNearAndInView) {
    EXPECT_EQ(Liquid::flowDirection(0, 0, 0, glm::ivec3(40)), glm::vec3(0, 0, 1)) << "the floor keeps the z push";
    EXPECT_EQ(Liquid::flowDirection(0, 5, 0, glm::ivec3(40)), glm::vec3(1, -1, 1));
    EXPECT_EQ(Liquid::flowDirection(39, 39, 39, glm::ivec3(40)), glm::vec3(-1, -1, -1)) << "no push down from the top";
    Frustum frustum;  // a view volume bounded by the single plane z < 0
    for (glm::vec4& plane : frustum.planes) plane = glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
    frustum.planes[0] = glm::vec4(0.0f, 0.0f, -1.0f, 0.0f);
    int culled = 0;
    EXPECT_TRUE(Liquid::isDue({0, 0, -69.9f}, 10.0f, {0, 0, 0}, frustum, culled));
    EXPECT_FALSE(Liquid::isDue({0, 0, -70.0f}, 10.0f, {0, 0, 0}, frustum, culled));
    EXPECT_FALSE(Liquid::isDue({0, 0, 5}, 0.0f, {0, 0, 0}, frustum, culled)) << "spent";
    EXPECT_EQ(culled, 0);
    EXPECT_FALSE(Liquid::isDue({0, 0, 5}, 10.0f, {0, 0, 0}, frustum, culled));
    EXPECT_EQ(culled, 1) << "only frustum rejections count";
    EXPECT_EQ(Liquid::surfaceStride(Liquid::kFineDistance), 1) << "the full grid up to the fine distance";
    EXPECT_EQ(Liquid::surfaceStride(Liquid::kFineDistance + 0.1f), 2);
    EXPECT_EQ(Liquid::surfaceStride(2.0f * Liquid::kFineDistance + 0.1f), 4);
    EXPECT_EQ(Liquid::surfaceStride(0.0f, 2), 2) << "a level's least stride holds near";
    EXPECT_EQ(Liquid::surfaceStride(2.0f * Liquid::kFineDistance + 0.1f, 2), 4);
}

class LiquidGlTest : public testsupport::GlTest {};

// 16-point fountains half a unit wide, two units in front of the camera, sharing the renderer's grid.
TEST_F(LiquidGlTest, AVisibleFountainFlowsAsLitBlueGreenLiquidAndAHiddenOneIsFrozen) {
    auto camera = std::make_shared<Camera>(1.0f);
    bool culling = true;
    float brightness = 1.0f;
    Renderer renderer(camera, DrawSwitches{&culling, &brightness});
    Liquid flowing({1, 1, 1}, {0, 0, 0}, 6.0f, {0, 0, 0}, 10.0f, 16, renderer.fountainDensity);
    Liquid still({1, 1, 1}, {0, 0, 0}, 6.0f, {0, 0, 0}, 10.0f, 16, renderer.fountainDensity);
    flowing.setPosition({-0.5f, -0.6f, -2.0f});
    DirectionalLight({-0.4f, -1.0f, 0.5f}, {1, 1, 1}).loadDirectionalLight(renderer.blobbyProgramId);
    for (int frame = 0; frame < 4; ++frame) flowing.flow(0.1f);
    EXPECT_EQ(flowing.solver->pointCount, 5u) << "the first particle and ten a second";
    flowing.visible = false;
    flowing.flow(0.1f);
    EXPECT_EQ(flowing.solver->pointCount, 5u);

    testsupport::OffscreenTarget target(32);
    glEnable(GL_DEPTH_TEST);
    const auto triangles = [&](Liquid& fountain) {
        fountain.solver->computeDensity(fountain.dimensions);  // each draw reads its own fountain's grid
        return testsupport::countDuring(GL_PRIMITIVES_GENERATED,
                                        [&] { renderer.renderFluid(fountain.getModelMatrix(), fountain.dimensions); });
    };
    EXPECT_EQ(triangles(still), 0u) << "one that never flowed shows nothing";
    EXPECT_GT(triangles(flowing), 0u);
    int liquid = 0, blueGreen = 0;
    for (const testsupport::Pixel& p : target.pixels()) {
        liquid += p[0] + p[1] + p[2] > 0;
        blueGreen += p[1] > p[0] && p[2] > p[0];
    }
    EXPECT_GT(liquid, 10);
    EXPECT_GT(blueGreen, liquid * 9 / 10);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The surface follows the particles at kSurfaceInterval of their flowing time; between markings each
// fountain is drawn from its own kept surface, also when more fountains are drawn than surfaces kept.
TEST_F(LiquidGlTest, EachFountainKeepsItsOwnSurfaceAndMarchesItAnewOnlyWhenItsParticlesFlowedLongEnough) {
    auto camera = std::make_shared<Camera>(1.0f);
    bool culling = true;
    float brightness = 1.0f;
    Renderer renderer(camera, DrawSwitches{&culling, &brightness});
    std::vector<std::unique_ptr<Liquid>> fountains;
    for (int i = 0; i <= FluidSurfaces::kSlots; ++i) {
        fountains.push_back(std::make_unique<Liquid>(glm::vec3(1), glm::vec3(0), 6.0f, glm::vec3(0), 10.0f, 16,
                                                     renderer.fountainDensity));
        fountains.back()->setPosition({-0.5f, -0.6f, -2.0f});
    }
    Liquid& flowing = *fountains.front();
    flowing.solver->random = [] { return 16383; };
    EXPECT_TRUE(flowing.surfaceDue()) << "never marched";
    const auto drawn = [&](Liquid& fountain) {
        return testsupport::countDuring(GL_PRIMITIVES_GENERATED, [&] { renderer.renderFountain(fountain, 1); });
    };
    for (int frame = 0; frame < 4; ++frame) flowing.flow(0.1f);
    const GLuint first = drawn(flowing);
    EXPECT_GT(first, 0u);
    flowing.visible = false;
    flowing.flow(1.0f);
    EXPECT_FALSE(flowing.surfaceDue()) << "a hidden fountain's particles stand still";
    flowing.visible = true;
    flowing.flow(Liquid::kSurfaceInterval / 2.0f);
    EXPECT_FALSE(flowing.surfaceDue()) << "half the interval";
    EXPECT_EQ(drawn(*fountains[1]), 0u);
    EXPECT_EQ(drawn(flowing), first) << "kept: another fountain takes a slot unused longer";
    for (size_t i = 1; i < fountains.size(); ++i) {
        EXPECT_EQ(drawn(*fountains[i]), 0u) << "a fountain that never flowed shows nothing";
    }
    // Its surface was lent to another: drawn, it is marched again from its particles as they are now.
    const GLuint again = testsupport::countDuring(GL_PRIMITIVES_GENERATED, [&] { renderer.drawFountain(flowing, 1); });
    flowing.solver->computeDensity(flowing.dimensions);
    EXPECT_EQ(testsupport::countDuring(GL_PRIMITIVES_GENERATED,
                                       [&] { renderer.renderFluid(flowing.getModelMatrix(), flowing.dimensions); }),
              again);
    EXPECT_EQ(drawn(flowing), again) << "kept";
    flowing.flow(Liquid::kSurfaceInterval / 2.0f);
    EXPECT_FALSE(flowing.surfaceDue()) << "the interval starts again at every marching";
    flowing.flow(Liquid::kSurfaceInterval / 2.0f);
    EXPECT_TRUE(flowing.surfaceDue());
    flowing.flow(1.0f);
    EXPECT_NE(drawn(flowing), again) << "ten more particles";
    // In coarser cells only the grid points they reach are worked out: the same surface as from the
    // whole grid. A grid of 40 points, as the game's: the points of a stride are fewer than its blocks.
    Liquid wide(glm::vec3(1), glm::vec3(0), 6.0f, glm::vec3(0), 10.0f, 40, renderer.fountainDensity);
    for (int stride : {2, 4}) {
        wide.flow(1.0f);  // ten more particles: nothing left of the last grid would pass for this one
        const GLuint coarse =
            testsupport::countDuring(GL_PRIMITIVES_GENERATED, [&] { renderer.renderFountain(wide, stride); });
        wide.solver->computeDensity(wide.dimensions);
        EXPECT_EQ(
            testsupport::countDuring(GL_PRIMITIVES_GENERATED,
                                     [&] { renderer.renderFluid(wide.getModelMatrix(), wide.dimensions, stride); }),
            coarse)
            << stride;
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// A field made by hand on a 6 x 5 x 4 grid, with two points of liquid: one in the last column and the
// top layer of cells, one on the grid's x = 0 face. Each alone gives one triangle in each cell it is a
// corner of; in cells of two grid steps only the point at even (x, y, z) is a corner.
TEST_F(LiquidGlTest, TheSurfaceEnclosesTheLiquidInEveryCellWhereTheFieldCrossesTheLevelAtEitherStride) {
    auto camera = std::make_shared<Camera>(1.0f);  // at the origin, looking along -z
    bool culling = true;
    float brightness = 1.0f;
    Renderer renderer(camera, DrawSwitches{&culling, &brightness});
    const glm::ivec3 dimensions(6, 5, 4);
    std::vector<glm::vec4> grid(6 * 5 * 4, glm::vec4(0.0f));
    grid[4 + 6 * 3 + 30 * 2].w = 1.0f;  // (4, 3, 2)
    grid[0 + 6 * 2 + 30 * 1].w = 1.0f;  // (0, 2, 1)
    const auto upload = [&] {
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, renderer.fountainDensity);
        glBufferData(GL_SHADER_STORAGE_BUFFER, static_cast<GLsizeiptr>(grid.size() * sizeof(glm::vec4)), grid.data(),
                     GL_STATIC_DRAW);
    };
    upload();
    testsupport::OffscreenTarget target(64);
    // Grid point (4, 3, 2) three units in front of the camera.
    const glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(-4, -3, -5));
    const auto triangles = [&](int stride) {
        return testsupport::countDuring(GL_PRIMITIVES_GENERATED,
                                        [&] { renderer.renderFluid(model, glm::vec3(dimensions), stride); });
    };
    EXPECT_EQ(triangles(2), 0u) << "(4, 3, 2) is no corner of a cell of two steps, (0, 2, 1) neither";
    grid[2 + 6 * 2 + 30 * 2].w = 1.0f;  // (2, 2, 2): a corner of all eight cells round it, cut at the grid's end
    upload();
    EXPECT_EQ(triangles(2), 8u);
    EXPECT_EQ(renderer.fluidVertexCount(), 24u) << "the indirect command counts what was drawn";
    // The field falls from 1 to 0 over a cell and the level is 0.35, so the surface crosses the axes
    // 0.65 of a cell from the point: that wide either side of the middle of the picture.
    const float oneStepWide = 64.0f * 0.65f / (3.0f * std::tan(glm::radians(30.0f)));
    const auto wideAtMiddle = [&] {
        int wide = 0;
        for (int x = 0; x < 64; ++x) wide += target.at(x, 32)[1] > 0;
        return wide;
    };
    target.clear();
    renderer.renderFluid(glm::translate(glm::mat4(1.0f), glm::vec3(-2, -2, -5)), glm::vec3(dimensions), 2);
    EXPECT_NEAR(wideAtMiddle(), 2.0f * oneStepWide, 3.0f) << "(2, 2, 2) in the middle, in cells of two steps";
    grid[2 + 6 * 2 + 30 * 2].w = 0.0f;
    upload();
    target.clear();
    EXPECT_EQ(triangles(1), 8u + 4u);
    EXPECT_NEAR(wideAtMiddle(), oneStepWide, 2.0f);
    int tall = 0;
    for (int y = 0; y < 64; ++y) tall += target.at(32, y)[1] > 0;
    EXPECT_NEAR(tall, oneStepWide, 2.0f) << "as tall as wide round the one point";
    // From outside the grid the near side is drawn: the middle of the picture lies nearer than the
    // point itself, three units away. From inside the liquid its far side still shows.
    const auto depthAtMiddle = [] {
        float depth = 1.0f;
        glReadPixels(32, 32, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        return depth;
    };
    glEnable(GL_DEPTH_TEST);
    target.clear();
    renderer.renderFluid(model, glm::vec3(dimensions));
    const glm::vec4 point = camera->getProjectionMatrix() * glm::vec4(0.0f, 0.0f, -3.0f, 1.0f);
    EXPECT_LT(depthAtMiddle(), 0.5f + 0.5f * point.z / point.w);
    camera->position = glm::vec3(0.0f, 0.0f, -2.8f);
    target.clear();
    renderer.renderFluid(model, glm::vec3(dimensions));
    EXPECT_GT(target.centre()[1], 0) << "seen from within the liquid";
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    glDisable(GL_DEPTH_TEST);
    camera->position = glm::vec3(0.0f);

    // In cells of two grid steps the surface is the full one of every other grid point and the last.
    const auto field = [](int x, int y, int z) { return static_cast<float>((x / 2 + y / 2 + z / 2) % 2); };
    const auto surfaceOf = [&](int n, int stride, const std::function<float(int, int, int)>& value) {
        grid.assign(static_cast<size_t>(n * n * n), glm::vec4(0.0f));
        for (int z = 0; z < n; ++z)
            for (int y = 0; y < n; ++y)
                for (int x = 0; x < n; ++x) grid[static_cast<size_t>(x + n * y + n * n * z)].w = value(x, y, z);
        upload();
        return testsupport::countDuring(GL_PRIMITIVES_GENERATED,
                                        [&] { renderer.renderFluid(model, glm::vec3(n), stride); });
    };
    const int kept[6] = {0, 2, 4, 6, 8, 9};
    const GLuint coarse = surfaceOf(10, 2, field);
    EXPECT_GT(coarse, 0u);
    EXPECT_EQ(surfaceOf(6, 1, [&](int x, int y, int z) { return field(kept[x], kept[y], kept[z]); }), coarse);

    // Alternating points put surface in every cell, far more than the buffer holds: the surface is cut
    // at the buffer's room and never drawn past it.
    grid.assign(30 * 30 * 30, glm::vec4(0.0f));
    for (size_t i = 0; i < grid.size(); ++i) grid[i].w = static_cast<float>((i + i / 30 + i / 900) % 2);
    upload();
    EXPECT_EQ(testsupport::countDuring(GL_PRIMITIVES_GENERATED, [&] { renderer.renderFluid(model, glm::vec3(30)); }),
              Renderer::kFluidVertexCapacity / 3);
    EXPECT_EQ(renderer.fluidVertexCount(), Renderer::kFluidVertexCapacity);
    // One point near the far end of a grid longer than a run of cells along z: a corner of eight cells.
    grid.assign(4 * 4 * 20, glm::vec4(0.0f));
    grid[1 + 4 * 1 + 16 * 18].w = 1.0f;
    upload();
    EXPECT_EQ(
        testsupport::countDuring(GL_PRIMITIVES_GENERATED, [&] { renderer.renderFluid(model, glm::vec3(4, 4, 20)); }),
        8u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Particles put by hand into the set the density pass draws, on a grid of 20 points a side (no whole
// number of the pass's blocks of 8): each grid point holds the kernel (1 - r² / R²)³ of the particles
// that reach it, except on the grid's outer faces, which stay empty so the surface closes.
TEST_F(LiquidGlTest, TheGridHoldsEachParticlesKernelInsideItsOuterFacesAndTheBuffersNeverOverflow) {
    GLuint density = 0;
    glGenBuffers(1, &density);
    Liquid fountain({1, 1, 1}, {0, 0, 0}, 6.0f, {0, 0, 0}, 10.0f, 20, density);
    MetaBallSolver& solver = *fountain.solver;
    const glm::vec4 particles[] = {{17.5f, 10, 10, 3}, {2, 18.5f, 3, 2}};  // centre and radius
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, solver.positionBuffers[1 - solver.current]);
    glBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, sizeof particles, particles);
    solver.drawnCount = 2;
    solver.computeDensity(fountain.dimensions);
    std::vector<glm::vec4> grid(20 * 20 * 20);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, solver.densityBuffer);
    glGetBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, static_cast<GLsizeiptr>(grid.size() * sizeof(glm::vec4)),
                       grid.data());
    const auto value = [&grid](int x, int y, int z) { return grid[x + 20 * y + 400 * z].w; };
    EXPECT_NEAR(value(17, 10, 10), std::pow(1.0f - 0.25f / 9.0f, 3.0f), 1e-5f);
    EXPECT_NEAR(value(2, 17, 3), std::pow(1.0f - 2.25f / 4.0f, 3.0f), 1e-5f);
    EXPECT_EQ(value(19, 10, 10), 0.0f) << "the x = 19 face";
    EXPECT_EQ(value(2, 19, 3), 0.0f) << "the top face";

    // Bursts far beyond the room of the buffers, onto the particles already there, fill them to the last record.
    fountain.spawnRate = 1e5f;
    fountain.flow(0.1f);
    fountain.flow(0.1f);
    EXPECT_EQ(solver.pointCount, solver.maximumCount);
    // With every particle gone the fountain still spawns.
    solver.pointCount = 0;
    fountain.flow(0.1f);
    EXPECT_GT(solver.pointCount, 0u);
}

// The solver works in world units: the jet stands as high at any fountain resolution.
TEST_F(LiquidGlTest, JetRisesAsHighInWorldUnitsAtAnyResolution) {
    GLuint grid = 0;
    glGenBuffers(1, &grid);
    const auto jetHeight = [grid](int pointsPerUnit) {
        Liquid fountain({1, 1, 1}, {0, 0, 0}, 6.0f, {0, 0, 0}, 10.0f, pointsPerUnit, grid);
        fountain.solver->random = [] { return 16383; };
        float highest = 0.0f;
        for (int frame = 0; frame < 60; ++frame) {
            fountain.flow(0.05f);
            const MetaBallSolver& solver = *fountain.solver;
            std::vector<glm::vec4> particles(solver.pointCount);
            glBindBuffer(GL_SHADER_STORAGE_BUFFER, solver.positionBuffers[solver.current]);
            glGetBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, particles.size() * sizeof(glm::vec4), particles.data());
            glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
            for (const glm::vec4& p : particles) highest = std::max(highest, p.y);
        }
        return highest / static_cast<float>(pointsPerUnit);
    };
    const float reference = jetHeight(40);
    EXPECT_GT(reference, 0.4f) << "the jet rises well into the fountain's unit box";
    EXPECT_NEAR(jetHeight(16), reference, 0.05f);
    EXPECT_NEAR(jetHeight(96), reference, 0.05f);
    glDeleteBuffers(1, &grid);
}

}  // namespace
