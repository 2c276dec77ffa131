#include "terrain/TriangleTableBuffer.h"

#include "render/GlContextState.h"
#include "terrain/TriangulationTable.h"

TriangleTableBuffer::~TriangleTableBuffer() {
    if (buffer != 0 && hasCurrentGlContext()) glDeleteBuffers(1, &buffer);
}

void TriangleTableBuffer::bind(GLuint binding) {
    if (buffer == 0) {
        glGenBuffers(1, &buffer);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, buffer);
        glBufferData(GL_SHADER_STORAGE_BUFFER, sizeof(triangulationTable), triangulationTable, GL_STATIC_READ);
    }
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, binding, buffer);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
}
