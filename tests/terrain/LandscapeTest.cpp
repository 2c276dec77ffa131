#include "support/GlContext.h"
#include "terrain/DensityShader.h"
#include "terrain/MarchingCubesCount.h"
#include "terrain/MarchingCubesHandler.h"
#include "terrain/MarchingCubesShader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

// The generated landscape, measured on the real 128³ grid the terrain uses, against what the rest
// of the game relies on: ground under the player's drop point, lakes for the water plane at height
// 4, nothing up where items, enemies and grass are dropped from (99), no holes in the floor.

namespace {

constexpr int N = 128;
constexpr float GRID_SCALE = 800.0f / N;  // world units per grid unit
constexpr float WATER_HEIGHT = 4.0f;

struct Figures {
    float centreHeight = 0;
    double lakeShare = 0;      // columns whose surface lies below the water
    double lakeShareGrid = 0;  // columns whose topmost solid grid point lies below the water
    double aboveDropShare = 0;
    double rollingShare = 0;   // dry columns between 5 and 60
    double overhangShare = 0;  // columns that cross the surface more than once
    float median = 0;
    float highest = 0;
    int floorHoles = 0;
};

// Per column: the topmost solid point, the surface height interpolated above it, and how often the
// column crosses the surface.
Figures measure(const MarchingCubesHandler& handler) {
    const auto density = [&](int x, int y, int z) { return handler.points[x + y * N + z * N * N].w; };
    const float iso = handler.isoLevel;
    Figures figures;
    std::vector<float> heights;
    int lakes = 0, lakesGrid = 0, aboveDrop = 0, rolling = 0, dry = 0, overhangs = 0;
    for (int z = 0; z < N; ++z) {
        for (int x = 0; x < N; ++x) {
            int top = -1;
            int crossings = 0;
            for (int y = 0; y < N; ++y) {
                const bool solid = density(x, y, z) > iso;
                if (solid) top = y;
                if (y > 0 && solid != (density(x, y - 1, z) > iso)) ++crossings;
            }
            if (density(x, 0, z) <= iso) ++figures.floorHoles;
            float height = 0.0f;
            if (top >= 0 && top + 1 < N) {
                const float below = density(x, top, z);
                const float above = density(x, top + 1, z);
                height = (top + (iso - below) / (above - below)) * GRID_SCALE;
            }
            heights.push_back(height);
            if (x == N / 2 && z == N / 2) figures.centreHeight = height;
            if (height < WATER_HEIGHT) ++lakes;
            if (top * GRID_SCALE < WATER_HEIGHT) ++lakesGrid;
            if (top * GRID_SCALE > 99.0f) ++aboveDrop;
            if (height >= WATER_HEIGHT) {
                ++dry;
                if (height >= 5.0f && height <= 60.0f) ++rolling;
            }
            if (crossings > 1) ++overhangs;
        }
    }
    const double columns = static_cast<double>(N) * N;
    figures.lakeShare = lakes / columns;
    figures.lakeShareGrid = lakesGrid / columns;
    figures.aboveDropShare = aboveDrop / columns;
    figures.rollingShare = dry > 0 ? static_cast<double>(rolling) / dry : 0.0;
    figures.overhangShare = overhangs / columns;
    std::sort(heights.begin(), heights.end());
    figures.median = heights[heights.size() / 2];
    figures.highest = heights.back();
    return figures;
}

class LandscapeTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        static DensityShader density;
        static MarchingCubesShader marchingCubes;
        MarchingCubesHandler::densityProgramId = density.init();
        MarchingCubesHandler::marchingCubesProgramId = marchingCubes.init();
    }
};

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST_F(LandscapeTest, EverySeedGivesAPlayableLandscape) {
    for (unsigned int seed : {1u, 424242u, 1700000000u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        MarchingCubesHandler handler;
        handler.seedSource = [seed] { return seed; };
        const auto start = std::chrono::steady_clock::now();
        handler.generateDensity(N, 10.0f, glm::vec3(0.5f), glm::vec3(-0.64f, 0.0f, 0.0f));
        const double densityMs = millisecondsSince(start);

        // The preferred level lies inside the grid's range, so the surface is at 8 exactly.
        ASSERT_LT(handler.minDensity, MarchingCubesHandler::DEFAULT_ISO_LEVEL);
        ASSERT_GT(handler.maxDensity, MarchingCubesHandler::DEFAULT_ISO_LEVEL);
        const Figures f = measure(handler);
        std::printf(
            "seed %u: density %.0f ms, centre %.1f, lakes %.1f %% (grid points %.1f %%), median "
            "%.1f, "
            "highest %.1f, above 99 %.2f %%, dry land in 5..60 %.1f %%, overhanging columns %.1f "
            "%%\n",
            seed, densityMs, f.centreHeight, 100 * f.lakeShare, 100 * f.lakeShareGrid, f.median, f.highest,
            100 * f.aboveDropShare, 100 * f.rollingShare, 100 * f.overhangShare);

        EXPECT_EQ(f.floorHoles, 0);
        EXPECT_GE(f.centreHeight, 5.0f);
        EXPECT_LE(f.centreHeight, 95.0f);
        EXPECT_GE(f.lakeShare, 0.10);
        EXPECT_LE(f.lakeShare, 0.30);
        EXPECT_GE(f.lakeShareGrid, 0.10);
        EXPECT_LE(f.lakeShareGrid, 0.30);
        EXPECT_LE(f.aboveDropShare, 0.001);
        EXPECT_GE(f.median, 5.0f);
        EXPECT_LE(f.median, 60.0f);
        EXPECT_GE(f.rollingShare, 0.75);
        EXPECT_GT(f.highest, 60.0f);  // there are hills
        EXPECT_LT(f.highest, 99.0f);
    }
}

TEST_F(LandscapeTest, SurfaceFacesOutOfTheGround) {
    MarchingCubesHandler handler;
    handler.seedSource = [] { return 99u; };
    handler.generateDensity(N, 10.0f, glm::vec3(0.5f), glm::vec3(-0.64f, 0.0f, 0.0f));
    const auto start = std::chrono::steady_clock::now();
    unsigned int count = 0;
    testing::internal::CaptureStdout();
    const Triangle* triangles = handler.generateTriangles(N, count);
    testing::internal::GetCapturedStdout();
    std::printf("marching cubes with read-back: %.0f ms, %u triangles\n", millisecondsSince(start), count);

    ASSERT_EQ(count, countTriangles(handler.points, N, handler.isoLevel));
    ASSERT_GT(count, 10000u);
    // Mostly open ground seen from above: normals and windings point up on the whole, and each
    // triangle's normals agree with its winding.
    double up = 0.0;
    int disagreeing = 0;
    for (unsigned int i = 0; i < count; ++i) {
        const Triangle& t = triangles[i];
        const glm::vec3 facing = glm::cross(t.vertexB - t.vertexA, t.vertexC - t.vertexA);
        up += facing.y > 0.0f ? 1.0 : 0.0;
        if (glm::dot(facing, t.normalA + t.normalB + t.normalC) <= 0.0f) ++disagreeing;
    }
    EXPECT_GT(up / count, 0.8);
    EXPECT_LT(disagreeing, static_cast<int>(count / 1000));
}
