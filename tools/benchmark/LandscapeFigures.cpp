#include "LandscapeFigures.h"

#include "terrain/MarchingCubesHandler.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

std::string describeLandscape(const MarchingCubesHandler& handler, float gridScale) {
    const int n = static_cast<int>(std::lround(std::cbrt(static_cast<double>(handler.points.size()))));
    const float iso = handler.isoLevel;
    const auto density = [&](int x, int y, int z) { return handler.points[x + y * n + z * n * n].w; };
    std::vector<float> heights;
    int lakes = 0, aboveDrop = 0, rolling = 0, floorHoles = 0;
    for (int z = 0; z < n; ++z) {
        for (int x = 0; x < n; ++x) {
            int top = -1;
            for (int y = 0; y < n; ++y) top = density(x, y, z) > iso ? y : top;
            floorHoles += density(x, 0, z) <= iso;
            float height = 0.0f;  // the surface, interpolated above the topmost solid point
            if (top >= 0 && top + 1 < n) {
                const float below = density(x, top, z), above = density(x, top + 1, z);
                height = (static_cast<float>(top) + (iso - below) / (above - below)) * gridScale;
            }
            heights.push_back(height);
            lakes += height < 4.0f;
            aboveDrop += static_cast<float>(top) * gridScale > 99.0f;
            rolling += height >= 5.0f && height <= 60.0f;
        }
    }
    if (heights.empty()) return "no landscape";
    const float centre = heights[static_cast<size_t>(n / 2) * n + n / 2];
    std::sort(heights.begin(), heights.end());
    const double columns = static_cast<double>(heights.size());
    char text[256];
    std::snprintf(text, sizeof text,
                  "centre %.1f, lakes %.1f %%, median %.1f, highest %.1f, above 99 %.2f %%, "
                  "in 5..60 %.1f %%, floor holes %d",
                  centre, 100.0 * lakes / columns, heights[heights.size() / 2], heights.back(),
                  100.0 * aboveDrop / columns, 100.0 * rolling / columns, floorHoles);
    return text;
}
