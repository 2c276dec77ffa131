#pragma once

#include "render/TexturedShader.h"

#include <memory>

// The water surface: reflection and refraction images distorted by a moving du/dv map. One
// process-wide instance serves all water tiles.
class WaterShader : public TexturedShader {
public:
    WaterShader();

    // The shared instance, created and initialised on first request (needs the current context then).
    static std::shared_ptr<WaterShader> getInstance();

    // The textured program's look-ups, then "moveFactor", "cameraPos" and "tiling".
    void getAllUniformLocations() override;

    GLint moveFactorLocation = 0;
    GLint cameraPosLocation = 0;
    GLint tilingLocation = 0;
};
