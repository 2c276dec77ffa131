#include "effects/GuiShader.h"

GuiShader::GuiShader() { setStagePaths("/shader/gui.vertex", "/shader/gui.frag"); }

void GuiShader::getAllUniformLocations() {
    ShaderProgram::getAllUniformLocations();
    transformMatrixLocation = glGetUniformLocation(programId, "transformMatrix");
}
