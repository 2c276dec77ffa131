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
