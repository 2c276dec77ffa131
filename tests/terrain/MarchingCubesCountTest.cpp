#include "terrain/MarchingCubesCount.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A grid of n³ points whose density comes from `field(x, y, z)`.
template <typename Field>
std::vector<glm::vec4> makeGrid(int n, Field field) {
    std::vector<glm::vec4> points(static_cast<std::size_t>(n) * n * n);
    for (int z = 0; z < n; ++z)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) points[x + y * n + z * n * n] = glm::vec4(x, y, z, field(x, y, z));
    return points;
}

}  // namespace

TEST(MarchingCubesCount, CornersDenserThanTheLevelSetTheirBits) {
    float corners[8] = {9, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(cellConfiguration(corners, 8.0f), 1);
    corners[7] = 8.5f;
    EXPECT_EQ(cellConfiguration(corners, 8.0f), 0x81);
    corners[0] = 8.0f;  // exactly on the level counts as outside
    EXPECT_EQ(cellConfiguration(corners, 8.0f), 0x80);
    const float all[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(cellConfiguration(all, 8.0f), 255);
}

TEST(MarchingCubesCount, TrianglesPerConfigurationFollowTheTable) {
    EXPECT_EQ(trianglesInConfiguration(0), 0);
    EXPECT_EQ(trianglesInConfiguration(255), 0);
    EXPECT_EQ(trianglesInConfiguration(1), 1);
    EXPECT_EQ(trianglesInConfiguration(3), 2);
    EXPECT_EQ(trianglesInConfiguration(250), 4);
    EXPECT_EQ(trianglesInConfiguration(-1), 0);
    EXPECT_EQ(trianglesInConfiguration(256), 0);
    int total = 0;
    for (int config = 0; config < 256; ++config) total += trianglesInConfiguration(config);
    EXPECT_EQ(total, 820);
}

TEST(MarchingCubesCount, CountsTheTrianglesOfAGrid) {
    int highest = 99;
    // Nothing crosses the level: no triangles, no layer.
    EXPECT_EQ(countTriangles(makeGrid(5, [](int, int, int) { return 5.0f; }), 5, 8.0f, &highest), 0u);
    EXPECT_EQ(highest, -1);

    // One solid point in the middle of 3³: each of the 8 cells around it cuts off one corner.
    auto lone = makeGrid(3, [](int x, int y, int z) { return x == 1 && y == 1 && z == 1 ? 9.0f : 0.0f; });
    EXPECT_EQ(countTriangles(lone, 3, 8.0f, &highest), 8u);
    EXPECT_EQ(highest, 1);

    // Flat ground in a 6-point grid: one layer of two triangles per cell. A point exactly on the
    // level counts as air, so at 7.5 the surface stays in cell layer 2 and moves up only below it.
    auto ground = makeGrid(6, [](int, int y, int) { return 10.5f - y; });
    EXPECT_EQ(countTriangles(ground, 6, 8.0f, &highest), 5u * 5u * 2u);
    EXPECT_EQ(highest, 2);
    EXPECT_EQ(countTriangles(ground, 6, 7.5f, &highest), 5u * 5u * 2u);
    EXPECT_EQ(highest, 2);
    EXPECT_EQ(countTriangles(ground, 6, 7.0f, &highest), 5u * 5u * 2u);
    EXPECT_EQ(highest, 3);
}

TEST(MarchingCubesCount, RefusesGridsOfTheWrongSize) {
    auto grid = makeGrid(4, [](int x, int, int) { return x < 2 ? 9.0f : 0.0f; });
    int highest = 99;
    EXPECT_GT(countTriangles(grid, 4, 8.0f), 0u);
    EXPECT_EQ(countTriangles(grid, 5, 8.0f, &highest), 0u);
    EXPECT_EQ(highest, -1);
    EXPECT_EQ(countTriangles(grid, 1, 8.0f), 0u);
    EXPECT_EQ(countTriangles({}, 0, 8.0f), 0u);
}
