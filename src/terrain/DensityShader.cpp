#include "terrain/DensityShader.h"

DensityShader::DensityShader() { setComputePath("/shader/density.comp"); }
