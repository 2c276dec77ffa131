#pragma once

#include <functional>

#include <glm/glm.hpp>

#include "Image.h"
#include "Surface.h"

// Paints the texels of a surface's texture rectangle from a colour function of the 3D point they
// show, so patterns follow the geometry and meet across texture seams.
struct SurfacePoint {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec2 parameter;  // (s, t)
};

void bakeSurface(Image& image, const Surface& surface, const std::function<glm::vec4(const SurfacePoint&)>& colourAt);

// Texture coordinate of a pixel centre (v = 0 at the bottom row, as the game samples it).
glm::vec2 pixelUv(const Image& image, int x, int y);
