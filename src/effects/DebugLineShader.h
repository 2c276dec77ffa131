#pragma once

#include "render/ShaderProgram.h"

// Draws the physics debug lines.
class DebugLineShader : public ShaderProgram {
public:
    DebugLineShader();
};
