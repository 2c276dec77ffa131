#pragma once

#include <GL/glew.h>

#include <vector>

// Owns one vertex array object and the buffers created for it. Meshes hold it through a shared
// pointer, so copies of a mesh keep the vertex data alive and the last one to go frees it. Without a
// current context (meshes released after the window) the GL objects are left to the driver.
class VertexArray {
public:
    VertexArray(GLuint vaoId, std::vector<GLuint> buffers);
    VertexArray(const VertexArray&) = delete;
    VertexArray& operator=(const VertexArray&) = delete;
    ~VertexArray();

    GLuint vaoId = 0;
    std::vector<GLuint> buffers;
};
