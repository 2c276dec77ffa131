#pragma once

#include <GL/glew.h>

// The marching-cubes triangle table in a GPU buffer of its owner's (the landscape's marching-cubes
// pass has one, the fountains' surface draw another): uploaded on the first bind, deleted with the
// owner while a context is current.
class TriangleTableBuffer {
public:
    TriangleTableBuffer() = default;
    ~TriangleTableBuffer();
    TriangleTableBuffer(const TriangleTableBuffer&) = delete;
    TriangleTableBuffer& operator=(const TriangleTableBuffer&) = delete;

    // Uploads the table the first time and binds it to shader-storage binding point `binding`. Leaves
    // the generic shader-storage target unbound. Needs the current context.
    void bind(GLuint binding);
    // The buffer's name; 0 before the first bind.
    GLuint name() const { return buffer; }

private:
    GLuint buffer = 0;
};
