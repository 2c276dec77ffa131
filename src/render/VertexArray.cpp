#include "render/VertexArray.h"

#include "render/GlContextState.h"

#include <utility>

VertexArray::VertexArray(GLuint vaoId, std::vector<GLuint> buffers) : vaoId(vaoId), buffers(std::move(buffers)) {}

VertexArray::~VertexArray() {
    if (!hasCurrentGlContext()) return;
    if (!buffers.empty()) glDeleteBuffers(static_cast<GLsizei>(buffers.size()), buffers.data());
    if (vaoId != 0) glDeleteVertexArrays(1, &vaoId);
}
