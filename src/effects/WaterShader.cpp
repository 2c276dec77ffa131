#include "effects/WaterShader.h"

WaterShader::WaterShader() { setStagePaths("/shader/water.vertex", "/shader/water.frag"); }

void WaterShader::getAllUniformLocations() {
    TexturedShader::getAllUniformLocations();
    moveFactorLocation = glGetUniformLocation(programId, "moveFactor");
    cameraPosLocation = glGetUniformLocation(programId, "cameraPos");
    tilingLocation = glGetUniformLocation(programId, "tiling");
}
