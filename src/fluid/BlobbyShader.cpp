#include "fluid/BlobbyShader.h"

BlobbyShader::BlobbyShader() {
    setStagePaths("/shader/marching_cubes.vert", "/shader/marching_cubes.frag", "/shader/marching_cubes.geom");
}

void BlobbyShader::getAllUniformLocations() {
    TexturedShader::getAllUniformLocations();
    dimensionsLocation = glGetUniformLocation(programId, "dimensions");
}
