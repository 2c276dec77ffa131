#include "render/ComputeShader.h"

#include "render/ResourcePath.h"
#include "render/ShaderSource.h"

#include <iostream>

GLuint ComputeShader::init() {
    // Building again would orphan the first program object, so a second call is a no-op.
    if (linked) return programId;

    computeShaderId = compileShader(computeShaderPath, GL_COMPUTE_SHADER);
    GLuint program = glCreateProgram();
    glAttachShader(program, computeShaderId);
    programId = program;
    linkProgram(programId, computeShaderPath);
    glDeleteShader(computeShaderId);
    linked = true;
    return programId;
}

void ComputeShader::setComputePath(const std::string& computeFile) {
    computeShaderPath = resourceRoot() + computeFile;
    std::cout << computeShaderPath << std::endl;
}
