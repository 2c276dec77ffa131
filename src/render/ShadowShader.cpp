#include "render/ShadowShader.h"

ShadowShader::ShadowShader() { setStagePaths("/shader/shadow.vertex", "/shader/shadow.frag"); }

void ShadowShader::bindAttributes() {
    glBindAttribLocation(programId, 0, "position");
    glBindAttribLocation(programId, 1, "textureCoords");
}
