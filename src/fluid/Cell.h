#pragma once

#include <glm/glm.hpp>

// One cell of a fountain's simulation grid: the flow direction its particles are pushed along and
// its grid coordinates (i, j, k).
struct Cell {
    glm::vec3 direction{0.0f};
    glm::vec3 position{0.0f};
};
