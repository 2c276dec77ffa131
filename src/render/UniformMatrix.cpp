#include "render/UniformMatrix.h"

#include <glm/gtc/type_ptr.hpp>

void setMatrix(GLint location, const glm::mat4& m) { glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(m)); }

void setMatrix(GLuint programId, const char* name, const glm::mat4& m) {
    setMatrix(glGetUniformLocation(programId, name), m);
}
