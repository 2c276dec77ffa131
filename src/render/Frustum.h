#pragma once

#include <glm/glm.hpp>

#include <array>

// A view volume in world space: eight corners (near face 0-3, far face 4-7, in the camera's corner
// order), their centre and six planes (a, b, c, d) with a*x + b*y + c*z + d > 0 on the inner side.
struct Frustum {
    std::array<glm::vec3, 8> corners{};
    glm::vec3 centre{0.0f};
    std::array<glm::vec4, 6> planes{};
};
