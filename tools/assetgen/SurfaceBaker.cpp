#include "SurfaceBaker.h"

#include <cmath>

glm::vec2 pixelUv(const Image& image, int x, int y) {
    return {(x + 0.5f) / image.width(), 1.0f - (y + 0.5f) / image.height()};
}

void bakeSurface(Image& image, const Surface& surface, const std::function<glm::vec4(const SurfacePoint&)>& colourAt) {
    const UvRect& r = surface.rect();
    int w = image.width(), h = image.height();
    int x0 = static_cast<int>(std::lround(r.u0 * w)), x1 = static_cast<int>(std::lround(r.u1 * w));
    // Row 0 is the top of the picture, where v is 1.
    int y0 = static_cast<int>(std::lround((1.0f - r.v1) * h)), y1 = static_cast<int>(std::lround((1.0f - r.v0) * h));
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            glm::vec2 st = surface.parameterAt(pixelUv(image, x, y));
            SurfacePoint p{surface.position(st.x, st.y), surface.normal(st.x, st.y), st};
            image.at(x, y) = colourAt(p);
        }
}
