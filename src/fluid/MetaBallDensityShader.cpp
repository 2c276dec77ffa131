#include "fluid/MetaBallDensityShader.h"

MetaBallDensityShader::MetaBallDensityShader() { setComputePath("/shader/meta_ball_density.comp"); }
