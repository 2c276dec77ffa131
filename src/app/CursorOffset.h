#pragma once

#include <glm/glm.hpp>

// The virtual cursor's offset from the window's centre in framebuffer pixels. GLFW reports the cursor
// in screen coordinates, which are not the framebuffer's pixels on a scaled display; the offset is
// taken from the centre in screen coordinates (integer halves of the window size) and then scaled.
glm::vec2 cursorOffset(double x, double y, int windowWidth, int windowHeight, int framebufferWidth,
                       int framebufferHeight);
