#pragma once

#include "render/TexturedShader.h"

// The water surface: reflection and refraction images distorted by a moving du/dv map. Each water
// tile has its own.
class WaterShader : public TexturedShader {
public:
    WaterShader();

    // The textured program's look-ups, then "moveFactor", "cameraPos" and "tiling".
    void getAllUniformLocations() override;

    GLint moveFactorLocation = 0;
    GLint cameraPosLocation = 0;
    GLint tilingLocation = 0;
};
