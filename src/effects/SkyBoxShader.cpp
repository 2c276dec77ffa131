#include "effects/SkyBoxShader.h"

SkyBoxShader::SkyBoxShader() { setStagePaths("/shader/skybox.vertex", "/shader/skybox.frag"); }

void SkyBoxShader::getAllUniformLocations() {
    ShaderProgram::getAllUniformLocations();
    projectionMatrixLocation = glGetUniformLocation(programId, "projectionMatrix");
    viewMatrixLocation = glGetUniformLocation(programId, "viewMatrix");
    fogColorLocation = glGetUniformLocation(programId, "fogColor");
    blendFactorLocation = glGetUniformLocation(programId, "blendFactor");
}
