#pragma once

#include "render/ComputeShader.h"

// Compute pass that fills the terrain's density grid from random octave offsets.
class DensityShader : public ComputeShader {
public:
    DensityShader();
};
