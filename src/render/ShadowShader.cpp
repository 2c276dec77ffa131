#include "render/ShadowShader.h"

ShadowShader::ShadowShader() { setStagePaths("/shader/shadow.vertex", "/shader/shadow.frag"); }

void ShadowShader::bindAttributes() {
    glBindAttribLocation(programId, 0, "position");
    glBindAttribLocation(programId, 1, "textureCoords");
}

void ShadowShader::getAllUniformLocations() {
    ShaderProgram::getAllUniformLocations();
    viewMatrixLocation = glGetUniformLocation(programId, "viewMatrix");
    projectionMatrixLocation = glGetUniformLocation(programId, "projectionMatrix");
    useAlphaLocation = glGetUniformLocation(programId, "useAlpha");
    instanceBaseLocation = glGetUniformLocation(programId, "instanceBase");
}
