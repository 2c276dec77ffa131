#pragma once

#include <GL/glew.h>

// The marching-cubes triangle table on the GPU, shared by the landscape's marching-cubes pass and the
// fountains' surface draw. Uploaded once per context and kept for the life of the process.
class TriangleTableBuffer {
public:
    // Uploads the table unless this context has it already and binds it to
    // StorageBinding::kTriangleTable (the generic shader-storage target is left bound to it). Returns
    // the buffer's name. Needs the current context.
    static GLuint bind();
};
