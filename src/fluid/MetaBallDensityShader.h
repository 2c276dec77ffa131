#pragma once

#include "render/ComputeShader.h"

// Compute pass that splats a fountain's particles into its density grid.
class MetaBallDensityShader : public ComputeShader {
public:
    MetaBallDensityShader();
};
