#pragma once

#include "render/TexturedShader.h"

// The fountains' metaball surface: draws the vertices the surface pass (FountainSurfaceShader) wrote,
// bound by the draw (see StorageBindings.h), with the textured program's locations.
class BlobbyShader : public TexturedShader {
public:
    BlobbyShader();
};
