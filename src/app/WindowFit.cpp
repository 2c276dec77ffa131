#include "app/WindowFit.h"

#include <algorithm>
#include <cmath>

WindowSize fitToWorkArea(const WindowSize& requested, const WindowSize& workArea) {
    if (workArea.width <= 0 || workArea.height <= 0) return requested;
    if (requested.width <= workArea.width && requested.height <= workArea.height) return requested;
    const double scale = std::min(static_cast<double>(workArea.width) / requested.width,
                                  static_cast<double>(workArea.height) / requested.height);
    // Floored, so that no side ends past the work area; the tolerance keeps the side that fits exactly
    // from losing a pixel to rounding.
    const auto side = [scale](int length) { return std::max(1, static_cast<int>(std::floor(length * scale + 1e-6))); };
    return {side(requested.width), side(requested.height)};
}

int monitorUnder(const ScreenRect& window, const std::vector<ScreenRect>& monitors) {
    if (monitors.empty()) return -1;
    const auto overlap = [](int start, int length, int otherStart, int otherLength) {
        return std::max(0LL, static_cast<long long>(std::min(start + length, otherStart + otherLength)) -
                                 std::max(start, otherStart));
    };
    int best = 0;
    long long bestArea = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const ScreenRect& m = monitors[i];
        const long long area =
            overlap(window.x, window.width, m.x, m.width) * overlap(window.y, window.height, m.y, m.height);
        if (area > bestArea) {
            bestArea = area;
            best = static_cast<int>(i);
        }
    }
    return best;
}
