#include "effects/ParticleShader.h"

ParticleShader::ParticleShader() { setStagePaths("/shader/particle.vertex", "/shader/particle.frag"); }

void ParticleShader::bindAttributes() {
    glBindAttribLocation(programId, 0, "position");
    glBindAttribLocation(programId, 1, "modelMatrix");
    glBindAttribLocation(programId, 5, "texOffsets");
    glBindAttribLocation(programId, 6, "blendFactor");
}
