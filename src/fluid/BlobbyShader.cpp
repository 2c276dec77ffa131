#include "fluid/BlobbyShader.h"

BlobbyShader::BlobbyShader() { setStagePaths("/shader/fountain_surface.vert", "/shader/marching_cubes.frag"); }
