#include "effects/GuiShader.h"

GuiShader::GuiShader() { setStagePaths("/shader/gui.vertex", "/shader/gui.frag"); }
