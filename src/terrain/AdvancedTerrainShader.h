#pragma once

#include "render/TexturedShader.h"

// The terrain's lit, shadowed, texture-array program. Keeps the textured program's locations; the
// terrain sets its samplers, shadow and clip uniforms by name when it draws.
class AdvancedTerrainShader : public TexturedShader {
public:
    AdvancedTerrainShader();

    // 0: "position", 2: "normal" (the terrain mesh has no texture coordinates).
    void bindAttributes() override;
};
