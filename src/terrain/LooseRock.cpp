#include "terrain/LooseRock.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

class Grid {
public:
    Grid(std::vector<glm::vec4>& points, int n, float iso) : points(points), n(n), iso(iso) {}

    size_t at(int x, int y, int z) const {
        return static_cast<size_t>(x) + static_cast<size_t>(y) * n + static_cast<size_t>(z) * n * n;
    }
    bool solid(size_t i) const { return points[i].w > iso; }
    bool onSide(int x, int y, int z) const { return x == 0 || z == 0 || x == n - 1 || z == n - 1 || y == n - 1; }

    // Marks every point reachable face to face from the `seeds` through points for which `solid(i)`
    // equals `wantSolid`.
    std::vector<uint8_t> reach(const std::vector<size_t>& seeds, bool wantSolid) const {
        std::vector<uint8_t> reached(points.size(), 0);
        std::vector<size_t> open;
        for (size_t seed : seeds) {
            if (solid(seed) != wantSolid || reached[seed]) continue;
            reached[seed] = 1;
            open.push_back(seed);
        }
        const size_t nn = static_cast<size_t>(n) * n;
        while (!open.empty()) {
            const size_t i = open.back();
            open.pop_back();
            const int x = static_cast<int>(i % n);
            const int y = static_cast<int>((i / n) % n);
            const int z = static_cast<int>(i / nn);
            const size_t neighbours[6] = {x > 0 ? i - 1 : i,     x < n - 1 ? i + 1 : i, y > 0 ? i - n : i,
                                          y < n - 1 ? i + n : i, z > 0 ? i - nn : i,    z < n - 1 ? i + nn : i};
            for (size_t next : neighbours) {
                if (reached[next] || solid(next) != wantSolid) continue;
                reached[next] = 1;
                open.push_back(next);
            }
        }
        return reached;
    }

    std::vector<glm::vec4>& points;
    const int n;
    const float iso;
};

}  // namespace

LooseRock::Changed LooseRock::clean(std::vector<glm::vec4>& points, int n, float isoLevel) {
    Changed changed;
    if (n < 3 || points.size() != static_cast<size_t>(n) * n * n) return changed;
    Grid grid(points, n, isoLevel);

    // Thin sheets, judged on the grid as it came, then thinned all at once.
    std::vector<size_t> thin;
    for (int z = 1; z < n - 1; ++z) {
        for (int y = 1; y < n - 1; ++y) {
            for (int x = 1; x < n - 1; ++x) {
                const size_t i = grid.at(x, y, z);
                if (!grid.solid(i)) continue;
                const bool thinX = !grid.solid(grid.at(x - 1, y, z)) && !grid.solid(grid.at(x + 1, y, z));
                const bool thinY = !grid.solid(grid.at(x, y - 1, z)) && !grid.solid(grid.at(x, y + 1, z));
                const bool thinZ = !grid.solid(grid.at(x, y, z - 1)) && !grid.solid(grid.at(x, y, z + 1));
                if (thinX || thinY || thinZ) thin.push_back(i);
            }
        }
    }
    // Each becomes air just below the level, so the ground it joins ends right where it was.
    for (size_t i : thin) points[i].w = std::min(points[i].w, isoLevel - 1e-3f * std::max(1.0f, std::abs(isoLevel)));
    changed.thin = static_cast<int>(thin.size());

    std::vector<size_t> seeds;
    for (int z = 0; z < n; ++z)
        for (int x = 0; x < n; ++x) seeds.push_back(grid.at(x, 0, z));
    const std::vector<uint8_t> grounded = grid.reach(seeds, true);
    for (size_t i = 0; i < points.size(); ++i) {
        if (!grid.solid(i) || grounded[i]) continue;
        points[i].w = isoLevel - 1e-3f * std::max(1.0f, std::abs(isoLevel));
        ++changed.floating;
    }

    seeds.clear();
    for (int z = 0; z < n; ++z)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                if (grid.onSide(x, y, z)) seeds.push_back(grid.at(x, y, z));
    const std::vector<uint8_t> open = grid.reach(seeds, false);
    for (size_t i = 0; i < points.size(); ++i) {
        if (grid.solid(i) || open[i]) continue;
        points[i].w = isoLevel + 1e-3f * std::max(1.0f, std::abs(isoLevel));
        ++changed.sealed;
    }
    return changed;
}
