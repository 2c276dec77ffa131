#include "terrain/MarchingCubesShader.h"

MarchingCubesShader::MarchingCubesShader() { setComputePath("/shader/marching_cubes_gen.comp"); }
