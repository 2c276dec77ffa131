#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

// One overlay image (the crosshair): the renderer draws its full-screen quad (corners ±1) with this
// texture, scaled by `scale` and moved to `position`, both in normalised device coordinates.
struct GuiObject {
    GLuint texture = 0;
    glm::vec3 position{0.0f};
    glm::vec3 scale{1.0f};
};
