#include "terrain/TriangleTableBuffer.h"

#include "render/StorageBindings.h"
#include "terrain/TriangulationTable.h"

#include <GLFW/glfw3.h>

namespace {

GLuint tableBuffer = 0;
// The context that holds `tableBuffer`: a window re-created later needs its own copy.
GLFWwindow* tableContext = nullptr;

}  // namespace

GLuint TriangleTableBuffer::bind() {
    GLFWwindow* context = glfwGetCurrentContext();
    if (tableBuffer == 0 || context != tableContext) {
        tableContext = context;
        glGenBuffers(1, &tableBuffer);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, tableBuffer);
        glBufferData(GL_SHADER_STORAGE_BUFFER, sizeof(triangulationTable), triangulationTable, GL_STATIC_READ);
    }
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kTriangleTable, tableBuffer);
    return tableBuffer;
}
