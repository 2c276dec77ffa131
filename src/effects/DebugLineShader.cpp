#include "effects/DebugLineShader.h"

DebugLineShader::DebugLineShader() { setStagePaths("/shader/debug_line.vert", "/shader/debug_line.frag"); }
