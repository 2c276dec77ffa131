#include "effects/HudShader.h"

HudShader::HudShader(bool shapes) {
    setStagePaths("/shader/hud.vertex", "/shader/hud.frag");
    if (shapes) defines = "#define HUD_SHAPES\n";
}

void HudShader::getAllUniformLocations() {
    ShaderProgram::getAllUniformLocations();
    projMatrixLocation = glGetUniformLocation(programId, "projMatrix");
    textLocation = glGetUniformLocation(programId, "text");
}
