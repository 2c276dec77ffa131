#pragma once

#include "render/TexturedShader.h"

// The fountains' metaball surface: a geometry-shader marching cubes over the fountain density grid,
// with the marching-cubes table (both bound by the draw, see StorageBindings.h).
class BlobbyShader : public TexturedShader {
public:
    BlobbyShader();

    // The textured program's look-ups, then "dimensions".
    void getAllUniformLocations() override;

    GLint dimensionsLocation = 0;
};
