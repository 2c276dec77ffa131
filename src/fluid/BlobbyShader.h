#pragma once

#include "render/TexturedShader.h"

#include <memory>

// The fountains' metaball surface: a geometry-shader marching cubes over the fountain density grid.
// One process-wide instance serves all fountains; the renderer creates its two storage buffers.
class BlobbyShader : public TexturedShader {
public:
    BlobbyShader();

    // The shared instance, created and initialised on first request (needs the current context then).
    static std::shared_ptr<BlobbyShader> getInstance();

    // The textured program's look-ups, then "dimensions".
    void getAllUniformLocations() override;

    GLint dimensionsLocation = 0;
    GLuint densityBuffer = 0;  // shader-storage buffer holding the fountain density grid
    GLuint tableBuffer = 0;    // shader-storage buffer holding the triangulation table
};
