#include "terrain/MarchingCubesCount.h"

#include "terrain/TriangulationTable.h"

#include <array>
#include <cstdint>

namespace {

std::array<std::uint8_t, 256> buildTriangleCounts() {
    std::array<std::uint8_t, 256> counts{};
    for (int config = 0; config < 256; ++config) {
        int entries = 0;
        while (entries < 16 && triangulationTable[config][entries] != -1) ++entries;
        counts[config] = static_cast<std::uint8_t>(entries / 3);
    }
    return counts;
}

const std::array<std::uint8_t, 256>& triangleCounts() {
    static const std::array<std::uint8_t, 256> counts = buildTriangleCounts();
    return counts;
}

}  // namespace

int cellConfiguration(const float cornerDensities[8], float isoLevel) {
    int config = 0;
    for (int corner = 0; corner < 8; ++corner) {
        if (cornerDensities[corner] > isoLevel) config |= 1 << corner;
    }
    return config;
}

int trianglesInConfiguration(int config) {
    if (config < 0 || config > 255) return 0;
    return triangleCounts()[config];
}

std::size_t countTriangles(const std::vector<glm::vec4>& points, int n, float isoLevel, int* highestCellLayer) {
    if (highestCellLayer) *highestCellLayer = -1;
    if (n < 2) return 0;
    const std::size_t side = static_cast<std::size_t>(n);
    if (points.size() != side * side * side) return 0;

    // One inside flag per point first, so each cell reads eight bytes instead of eight vec4s.
    std::vector<std::uint8_t> inside(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) inside[i] = points[i].w > isoLevel ? 1 : 0;

    const auto& counts = triangleCounts();
    const std::size_t layer = side * side;
    std::size_t total = 0;
    int highest = -1;
    for (std::size_t z = 0; z + 1 < side; ++z) {
        for (std::size_t y = 0; y + 1 < side; ++y) {
            const std::size_t before = total;
            // Rows holding the cell corners: bottom face (y) and top face (y + 1), at z and z + 1.
            const std::uint8_t* b0 = &inside[z * layer + y * side];
            const std::uint8_t* b1 = b0 + layer;
            const std::uint8_t* t0 = b0 + side;
            const std::uint8_t* t1 = t0 + layer;
            for (std::size_t x = 0; x + 1 < side; ++x) {
                // Corner order: 0 (x, y, z), 1 (x+1, y, z), 2 (x+1, y, z+1), 3 (x, y, z+1), then
                // the same four one step up.
                const int config = b0[x] | b0[x + 1] << 1 | b1[x + 1] << 2 | b1[x] << 3 | t0[x] << 4 | t0[x + 1] << 5 |
                                   t1[x + 1] << 6 | t1[x] << 7;
                total += counts[config];
            }
            if (total != before && static_cast<int>(y) > highest) highest = static_cast<int>(y);
        }
    }
    if (highestCellLayer) *highestCellLayer = highest;
    return total;
}
