#include "effects/WaterShader.h"

WaterShader::WaterShader() { setStagePaths("/shader/water.vertex", "/shader/water.frag"); }

std::shared_ptr<WaterShader> WaterShader::getInstance() {
    static std::shared_ptr<WaterShader> instance;
    if (!instance) {
        instance = std::make_shared<WaterShader>();
        instance->init();
    }
    return instance;
}

void WaterShader::getAllUniformLocations() {
    TexturedShader::getAllUniformLocations();
    moveFactorLocation = glGetUniformLocation(programId, "moveFactor");
    cameraPosLocation = glGetUniformLocation(programId, "cameraPos");
    tilingLocation = glGetUniformLocation(programId, "tiling");
}
