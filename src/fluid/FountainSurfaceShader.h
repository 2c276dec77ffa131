#pragma once

#include "render/ComputeShader.h"

// Compute pass that marches a fountain's density grid into the vertices of its surface.
class FountainSurfaceShader : public ComputeShader {
public:
    FountainSurfaceShader();
};
