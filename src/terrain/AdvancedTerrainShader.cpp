#include "terrain/AdvancedTerrainShader.h"

AdvancedTerrainShader::AdvancedTerrainShader() {
    setStagePaths("/shader/advanced_terrain.vert", "/shader/advanced_terrain.frag");
}

void AdvancedTerrainShader::bindAttributes() {
    glBindAttribLocation(programId, 0, "position");
    glBindAttribLocation(programId, 2, "normal");
}
