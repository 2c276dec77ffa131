#pragma once

#include "render/ShaderProgram.h"

// Draws textured 2D overlay quads such as the crosshair.
class GuiShader : public ShaderProgram {
public:
    GuiShader();
    // The base locations, then "transformMatrix".
    void getAllUniformLocations() override;

    GLint transformMatrixLocation = -1;
};
