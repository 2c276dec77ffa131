#pragma once

#include <glm/glm.hpp>

// Right-handed view matrix of an eye at `eye` looking at `target`, with `up` giving the roll: the
// target lands on the -Z axis and `up` in the upper half of the Y-Z plane. `up` must not be
// parallel to the viewing direction.
glm::mat4 lookAt(const glm::vec3& eye, const glm::vec3& target, const glm::vec3& up);
