#pragma once

#include "render/ShaderProgram.h"

// Draws the blended pair of sky cube maps around the camera.
class SkyBoxShader : public ShaderProgram {
public:
    SkyBoxShader();
};
