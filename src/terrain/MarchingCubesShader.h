#pragma once

#include "render/ComputeShader.h"

// Compute pass that turns the terrain's density grid into triangles.
class MarchingCubesShader : public ComputeShader {
public:
    MarchingCubesShader();
};
