#pragma once

#include "render/ComputeShader.h"

// Compute pass that advances a fountain's particles.
class MetaFluidParticleShader : public ComputeShader {
public:
    MetaFluidParticleShader();
};
