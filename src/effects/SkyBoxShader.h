#pragma once

#include "render/ShaderProgram.h"

// Draws the blended pair of sky cube maps around the camera.
class SkyBoxShader : public ShaderProgram {
public:
    SkyBoxShader();
    // The base locations, then those the sky box writes every frame.
    void getAllUniformLocations() override;

    GLint projectionMatrixLocation = -1;
    GLint viewMatrixLocation = -1;
    GLint fogColorLocation = -1;
    GLint blendFactorLocation = -1;
};
