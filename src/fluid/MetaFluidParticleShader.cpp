#include "fluid/MetaFluidParticleShader.h"

MetaFluidParticleShader::MetaFluidParticleShader() { setComputePath("/shader/meta_fluid_particles.comp"); }
