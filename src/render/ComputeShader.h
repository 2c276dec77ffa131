#pragma once

#include "render/ShaderProgram.h"

// A single-stage compute program. Its uniforms are looked up by name at dispatch time by the owner,
// so it keeps no locations and binds no attributes.
class ComputeShader : public ShaderProgram {
public:
    ComputeShader() = default;

    // Compiles and links the compute stage once; later calls return `programId`. A source that cannot
    // be read or compiled stops the game as ShaderProgram::init does.
    GLuint init() override;

    GLuint computeShaderId = 0;
    std::string computeShaderPath;

protected:
    // Sets `computeShaderPath` to the data folder followed by `computeFile` and prints it.
    void setComputePath(const std::string& computeFile);
};
