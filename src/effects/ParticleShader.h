#pragma once

#include "render/ShaderProgram.h"

// Draws instanced, atlas-textured particle quads. Per-instance data (model-view matrix, atlas
// offsets, blend factor) arrives through instanced attributes.
class ParticleShader : public ShaderProgram {
public:
    ParticleShader();

    // 0: "position", 1: "modelMatrix" (a mat4, occupying 1 to 4), 5: "texOffsets", 6: "blendFactor".
    void bindAttributes() override;
};
