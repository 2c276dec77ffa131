#pragma once

#include "render/ShaderProgram.h"

// Draws the HUD's glyph quads in screen pixels, or with `shapes` its flat shapes (their own build of
// the program: flat fills then pay nothing for the text's outline look-ups).
class HudShader : public ShaderProgram {
public:
    explicit HudShader(bool shapes = false);
    // The base locations, then "projMatrix" and "text".
    void getAllUniformLocations() override;

    GLint projMatrixLocation = -1;
    GLint textLocation = -1;
};
