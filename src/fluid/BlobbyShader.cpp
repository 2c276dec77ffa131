#include "fluid/BlobbyShader.h"

BlobbyShader::BlobbyShader() {
    setStagePaths("/shader/marching_cubes.vert", "/shader/marching_cubes.frag", "/shader/marching_cubes.geom");
}

std::shared_ptr<BlobbyShader> BlobbyShader::getInstance() {
    static std::shared_ptr<BlobbyShader> instance;
    if (!instance) {
        instance = std::make_shared<BlobbyShader>();
        instance->init();
    }
    return instance;
}

void BlobbyShader::getAllUniformLocations() {
    TexturedShader::getAllUniformLocations();
    dimensionsLocation = glGetUniformLocation(programId, "dimensions");
}
