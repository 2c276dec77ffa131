#include "render/TexturedShader.h"

TexturedShader::TexturedShader() { setStagePaths("/shader/textured.vertex", "/shader/textured.frag"); }

void TexturedShader::getAllUniformLocations() {
    glUseProgram(programId);
    numberOfLightsLocation = glGetUniformLocation(programId, "numberOfLights");
    modelMatrixLocation = glGetUniformLocation(programId, "modelMatrix");
    shineDamperLocation = glGetUniformLocation(programId, "shineDamper");
    reflectivityLocation = glGetUniformLocation(programId, "reflectivity");
    skyColorLocation = glGetUniformLocation(programId, "skyColor");
    viewMatrixLocation = glGetUniformLocation(programId, "viewMatrix");
    projectionMatrixLocation = glGetUniformLocation(programId, "projectionMatrix");
    brightnessFactorLocation = glGetUniformLocation(programId, "brightnessFactor");
    clipPlaneLocation = glGetUniformLocation(programId, "clipplane");
    instanceBaseLocation = glGetUniformLocation(programId, "instanceBase");
}

void TexturedShader::bindAttributes() {
    glBindAttribLocation(programId, 0, "position");
    glBindAttribLocation(programId, 1, "textureCoords");
    glBindAttribLocation(programId, 2, "normal");
}
