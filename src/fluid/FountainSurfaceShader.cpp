#include "fluid/FountainSurfaceShader.h"

FountainSurfaceShader::FountainSurfaceShader() { setComputePath("/shader/fountain_surface.comp"); }
