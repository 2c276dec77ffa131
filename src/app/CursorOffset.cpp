#include "app/CursorOffset.h"

namespace {

// Framebuffer pixels per screen unit along one axis; 1 while either size is unknown (minimised).
double pixelsPerUnit(int windowSize, int framebufferSize) {
    return windowSize > 0 && framebufferSize > 0 ? static_cast<double>(framebufferSize) / windowSize : 1.0;
}

}  // namespace

glm::vec2 cursorOffset(double x, double y, int windowWidth, int windowHeight, int framebufferWidth,
                       int framebufferHeight) {
    const double dx = (x - static_cast<double>(windowWidth / 2)) * pixelsPerUnit(windowWidth, framebufferWidth);
    const double dy = (y - static_cast<double>(windowHeight / 2)) * pixelsPerUnit(windowHeight, framebufferHeight);
    return glm::vec2(static_cast<float>(dx), static_cast<float>(dy));
}
