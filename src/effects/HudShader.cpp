#include "effects/HudShader.h"

HudShader::HudShader() { setStagePaths("/shader/hud.vertex", "/shader/hud.frag"); }

void HudShader::getAllUniformLocations() {
    ShaderProgram::getAllUniformLocations();
    projMatrixLocation = glGetUniformLocation(programId, "projMatrix");
    textLocation = glGetUniformLocation(programId, "text");
}
