#pragma once

#include "render/ShaderProgram.h"

// Depth-only program that draws the scene from the sun into the shadow map.
class ShadowShader : public ShaderProgram {
public:
    ShadowShader();

    // 0: "position", 1: "textureCoords" (alpha-tested foliage needs its texture coordinates).
    void bindAttributes() override;
    // The base locations, then "viewMatrix", "projectionMatrix", "useAlpha" and "instanceBase".
    void getAllUniformLocations() override;

    GLint viewMatrixLocation = -1;
    GLint projectionMatrixLocation = -1;
    GLint useAlphaLocation = -1;
    GLint instanceBaseLocation = -1;  // -1 in the program: the model matrix uniform; else instances
};
