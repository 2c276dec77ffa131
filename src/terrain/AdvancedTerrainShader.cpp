#include "terrain/AdvancedTerrainShader.h"

AdvancedTerrainShader::AdvancedTerrainShader(const std::string& variant) {
    setStagePaths("/shader/advanced_terrain.vert", "/shader/advanced_terrain.frag");
    defines = variant;
}

void AdvancedTerrainShader::bindAttributes() {
    glBindAttribLocation(programId, 0, "position");
    glBindAttribLocation(programId, 2, "normal");
}

void AdvancedTerrainShader::getAllUniformLocations() {
    TexturedShader::getAllUniformLocations();
    shadowMapSizeLocation = glGetUniformLocation(programId, "shadowMapSize");
    toShadowMapSpaceLocation = glGetUniformLocation(programId, "toShadowMapSpace");
    shadowDistanceLocation = glGetUniformLocation(programId, "shadowDistance");
}
