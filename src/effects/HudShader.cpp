#include "effects/HudShader.h"

HudShader::HudShader() { setStagePaths("/shader/hud.vertex", "/shader/hud.frag"); }
