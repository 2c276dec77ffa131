#include "effects/SkyBoxShader.h"

SkyBoxShader::SkyBoxShader() { setStagePaths("/shader/skybox.vertex", "/shader/skybox.frag"); }
