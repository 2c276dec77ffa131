#include "terrain/TriangulationTable.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

std::vector<int> rowEntries(int config) {
    std::vector<int> entries;
    for (int i = 0; i < 16 && triangulationTable[config][i] != -1; ++i) {
        entries.push_back(triangulationTable[config][i]);
    }
    return entries;
}

bool inside(int config, int corner) { return (config >> corner) & 1; }

glm::vec3 cornerPosition(int corner) {
    return glm::vec3(cornerOffsets[corner][0], cornerOffsets[corner][1], cornerOffsets[corner][2]);
}

}  // namespace

TEST(TriangulationTable, IdentifyingRowsAreTheClassicOnes) {
    const std::vector<std::pair<int, std::vector<int>>> rows = {
        {0, {}},
        {1, {0, 8, 3}},
        {2, {0, 1, 9}},
        {3, {1, 8, 3, 9, 8, 1}},
        {4, {1, 2, 10}},
        {5, {0, 8, 3, 1, 2, 10}},
        {250, {2, 3, 8, 2, 8, 10, 0, 1, 8, 1, 10, 8}},
        {252, {1, 3, 8, 9, 1, 8}},
        {253, {0, 9, 1}},
        {254, {0, 3, 8}},
        {255, {}},
    };
    for (const auto& [config, expected] : rows) EXPECT_EQ(rowEntries(config), expected) << "row " << config;
}

TEST(TriangulationTable, EveryRowIsWellFormedAndUsesExactlyTheEdgesItsCornersCross) {
    int triangles = 0;
    for (int config = 0; config < 256; ++config) {
        const std::vector<int> entries = rowEntries(config);
        ASSERT_EQ(entries.size() % 3, 0u) << "row " << config;
        ASSERT_LE(entries.size(), 15u) << "row " << config;
        for (std::size_t i = entries.size(); i < 16; ++i) {
            EXPECT_EQ(triangulationTable[config][i], -1) << "row " << config << " entry " << i;
        }
        triangles += static_cast<int>(entries.size() / 3);

        std::set<int> crossed;
        for (int edge = 0; edge < 12; ++edge) {
            if (inside(config, edgeCorners[edge][0]) != inside(config, edgeCorners[edge][1])) crossed.insert(edge);
        }
        EXPECT_EQ(std::set<int>(entries.begin(), entries.end()), crossed) << "row " << config;
    }
    EXPECT_EQ(triangles, 820);
}

TEST(TriangulationTable, CornerAndEdgeNumberingMatchTheTable) {
    const int expected[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                 {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (int edge = 0; edge < 12; ++edge) {
        EXPECT_EQ(edgeCorners[edge][0], expected[edge][0]);
        EXPECT_EQ(edgeCorners[edge][1], expected[edge][1]);
        // Every edge joins two corners one unit apart.
        EXPECT_FLOAT_EQ(glm::length(cornerPosition(expected[edge][0]) - cornerPosition(expected[edge][1])), 1.0f);
    }
    // Corners 0-3 go round the bottom face; corner i + 4 sits straight above corner i.
    for (int corner = 0; corner < 4; ++corner) {
        EXPECT_EQ(cornerOffsets[corner][1], 0);
        EXPECT_EQ(cornerPosition(corner + 4) - cornerPosition(corner), glm::vec3(0, 1, 0));
    }
}

// With vertices at the edge midpoints, every triangle must face away from the inside corners: that
// is what makes the terrain wind counter-clockwise seen from outside the ground.
TEST(TriangulationTable, EveryTriangleFacesAwayFromTheInsideCorners) {
    for (int config = 1; config < 255; ++config) {
        const std::vector<int> entries = rowEntries(config);
        for (std::size_t t = 0; t < entries.size(); t += 3) {
            glm::vec3 vertex[3];
            float outward = 0.0f;
            for (int k = 0; k < 3; ++k) {
                const int* ends = edgeCorners[entries[t + k]];
                vertex[k] = 0.5f * (cornerPosition(ends[0]) + cornerPosition(ends[1]));
            }
            const glm::vec3 facing = glm::cross(vertex[1] - vertex[0], vertex[2] - vertex[0]);
            for (int k = 0; k < 3; ++k) {
                const int* ends = edgeCorners[entries[t + k]];
                const int in = inside(config, ends[0]) ? ends[0] : ends[1];
                const int out = in == ends[0] ? ends[1] : ends[0];
                outward += glm::dot(facing, cornerPosition(out) - cornerPosition(in));
            }
            EXPECT_GT(outward, 0.0f) << "row " << config << " triangle " << t / 3;
        }
    }
}
