#pragma once

#include "render/ShaderProgram.h"

// The lit, textured, fogged program for model meshes. Its subclasses (terrain, water, metaball
// surface) reuse its locations and add their own. The renderer's instance draws all textured meshes.
class TexturedShader : public ShaderProgram {
public:
    // Sets the "textured" paths and prints the vertex path; subclasses then print their own.
    TexturedShader();

    // Makes the program current and looks up the base names, then "shineDamper", "reflectivity",
    // "skyColor", "viewMatrix", "projectionMatrix", "brightnessFactor", "clipplane" and
    // "instanceBase" (the models' first matrix in the instance buffer; absent from the subclasses).
    void getAllUniformLocations() override;
    // 0: "position", 1: "textureCoords", 2: "normal".
    void bindAttributes() override;

    GLint viewMatrixLocation = 0;
    GLint projectionMatrixLocation = 0;
    GLint shineDamperLocation = 0;
    GLint reflectivityLocation = 0;
    GLint skyColorLocation = 0;
    GLint brightnessFactorLocation = 0;
    GLint clipPlaneLocation = -1;
    GLint instanceBaseLocation = -1;
};
