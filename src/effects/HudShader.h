#pragma once

#include "render/ShaderProgram.h"

// Draws the HUD's glyph quads in screen pixels.
class HudShader : public ShaderProgram {
public:
    HudShader();
};
