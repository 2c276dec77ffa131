#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

// Writes a 4 × 4 matrix uniform of the current program (column-major, not transposed).
void setMatrix(GLint location, const glm::mat4& m);
// The same, looking the uniform up by name in `programId` (which must be current).
void setMatrix(GLuint programId, const char* name, const glm::mat4& m);
