#pragma once

#include "render/ShaderProgram.h"

// Draws the HUD's glyph quads in screen pixels.
class HudShader : public ShaderProgram {
public:
    HudShader();
    // The base locations, then "projMatrix" and "text".
    void getAllUniformLocations() override;

    GLint projMatrixLocation = -1;
    GLint textLocation = -1;
};
