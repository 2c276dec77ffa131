#include "terrain/MarchingCubesCount.h"
#include "terrain/TriangulationTable.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

std::vector<int> rowEntries(int config) {
    std::vector<int> entries;
    for (int i = 0; i < 16 && triangulationTable[config][i] != -1; ++i)
        entries.push_back(triangulationTable[config][i]);
    return entries;
}

bool inside(int config, int corner) { return (config >> corner) & 1; }

glm::vec3 corner(int index) {
    return glm::vec3(cornerOffsets[index][0], cornerOffsets[index][1], cornerOffsets[index][2]);
}

// With vertices at the edge midpoints, every row must use exactly the edges its corners cross, and
// every triangle must face away from the inside corners: that makes the terrain wind counter-clockwise
// seen from outside the ground.
TEST(TriangulationTable, EveryRowCutsTheCrossedEdgesWithTrianglesFacingOut) {
    int triangles = 0;
    for (int config = 0; config < 256; ++config) {
        const std::vector<int> entries = rowEntries(config);
        ASSERT_EQ(entries.size() % 3, 0u) << "row " << config;
        for (std::size_t i = entries.size(); i < 16; ++i) EXPECT_EQ(triangulationTable[config][i], -1);
        std::set<int> crossed;
        for (int edge = 0; edge < 12; ++edge) {
            if (inside(config, edgeCorners[edge][0]) != inside(config, edgeCorners[edge][1])) crossed.insert(edge);
        }
        EXPECT_EQ(std::set<int>(entries.begin(), entries.end()), crossed) << "row " << config;
        for (std::size_t t = 0; t < entries.size(); t += 3, ++triangles) {
            glm::vec3 vertex[3];
            float outward = 0.0f;
            for (int k = 0; k < 3; ++k) {
                const int* ends = edgeCorners[entries[t + k]];
                vertex[k] = 0.5f * (corner(ends[0]) + corner(ends[1]));
            }
            const glm::vec3 facing = glm::cross(vertex[1] - vertex[0], vertex[2] - vertex[0]);
            for (int k = 0; k < 3; ++k) {
                const int* ends = edgeCorners[entries[t + k]];
                const bool firstInside = inside(config, ends[0]);
                outward +=
                    glm::dot(facing, corner(firstInside ? ends[1] : ends[0]) - corner(firstInside ? ends[0] : ends[1]));
            }
            EXPECT_GT(outward, 0.0f) << "row " << config << " triangle " << t / 3;
        }
    }
    EXPECT_EQ(triangles, 820);
}

// A grid of n³ points whose density comes from `field(x, y, z)`.
template <typename Field>
std::vector<glm::vec4> makeGrid(int n, Field field) {
    std::vector<glm::vec4> points(static_cast<std::size_t>(n) * n * n);
    for (int z = 0; z < n; ++z)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) points[x + y * n + z * n * n] = glm::vec4(x, y, z, field(x, y, z));
    return points;
}

TEST(MarchingCubesCount, CountsTheTrianglesAndTheHighestLayerOfAGrid) {
    int highest = 99;
    // One solid point in the middle of 3³: each of the 8 cells around it cuts off one corner.
    auto lone = makeGrid(3, [](int x, int y, int z) { return x == 1 && y == 1 && z == 1 ? 9.0f : 0.0f; });
    EXPECT_EQ(countTriangles(lone, 3, 8.0f, &highest), 8u);
    EXPECT_EQ(highest, 1);
    // Flat ground: one layer of two triangles per cell, in the cell layer the level falls in.
    auto ground = makeGrid(6, [](int, int y, int) { return 10.5f - y; });
    EXPECT_EQ(countTriangles(ground, 6, 7.5f, &highest), 5u * 5u * 2u);
    EXPECT_EQ(highest, 2);
    EXPECT_EQ(countTriangles(ground, 6, 7.0f, &highest), 5u * 5u * 2u);
    EXPECT_EQ(highest, 3);
    // A grid of another size than stated is refused.
    EXPECT_EQ(countTriangles(ground, 5, 8.0f, &highest), 0u);
    EXPECT_EQ(highest, -1);
    EXPECT_EQ(countTriangles({}, 0, 8.0f), 0u);
}

}  // namespace
