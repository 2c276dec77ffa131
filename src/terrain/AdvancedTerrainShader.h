#pragma once

#include "render/TexturedShader.h"

// The terrain's lit, shadowed, texture-array program. Keeps the textured program's locations; the
// terrain sets its samplers once when the program is built.
class AdvancedTerrainShader : public TexturedShader {
public:
    // `defines` pick the variant (see the top of advanced_terrain.frag); empty is the full look.
    explicit AdvancedTerrainShader(const std::string& defines = "");

    // 0: "position", 2: "normal" (the terrain mesh has no texture coordinates).
    void bindAttributes() override;
    // The textured program's locations, then "shadowMapSize", "toShadowMapSpace" and "shadowDistance".
    void getAllUniformLocations() override;

    GLint shadowMapSizeLocation = -1;
    GLint toShadowMapSpaceLocation = -1;
    GLint shadowDistanceLocation = -1;
};
