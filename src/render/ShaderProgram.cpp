#include "render/ShaderProgram.h"

#include "render/GlContextState.h"
#include "render/ResourcePath.h"
#include "render/ShaderSource.h"

#include <iostream>

ShaderProgram::~ShaderProgram() {
    if (programId == 0 || !hasCurrentGlContext()) return;
    // The shader objects were flagged for deletion right after linking and are still attached, so
    // deleting the program frees them too; deleting their names again would hit freed (or reused) names.
    glDeleteProgram(programId);
}

GLuint ShaderProgram::init() {
    if (linked) return programId;

    vertexShaderId = compileShader(vertexShaderPath, GL_VERTEX_SHADER, defines);
    fragmentShaderId = compileShader(fragmentShaderPath, GL_FRAGMENT_SHADER, defines);
    if (!geometryShaderPath.empty()) {
        geometryShaderId = compileShader(geometryShaderPath, GL_GEOMETRY_SHADER, defines);
    }

    GLuint program = glCreateProgram();
    glAttachShader(program, vertexShaderId);
    if (geometryShaderId != 0) glAttachShader(program, geometryShaderId);
    glAttachShader(program, fragmentShaderId);
    programId = program;

    // Attribute bindings only take effect at link time.
    bindAttributes();
    std::string sources = vertexShaderPath + ", " + fragmentShaderPath;
    if (!geometryShaderPath.empty()) sources += ", " + geometryShaderPath;
    linkProgram(programId, sources);

    glDeleteShader(vertexShaderId);
    glDeleteShader(fragmentShaderId);
    if (geometryShaderId != 0) glDeleteShader(geometryShaderId);

    linked = true;
    getAllUniformLocations();
    return programId;
}

GLuint ShaderProgram::rebuild(const std::string& newDefines) {
    if (linked && newDefines == defines) {
        glUseProgram(programId);
        return programId;
    }
    if (programId != 0) glDeleteProgram(programId);
    programId = 0;
    linked = false;
    numberOfLights = 0;
    defines = newDefines;
    return init();
}

void ShaderProgram::getAllUniformLocations() {
    glUseProgram(programId);
    numberOfLightsLocation = glGetUniformLocation(programId, "numberOfLights");
    modelMatrixLocation = glGetUniformLocation(programId, "modelMatrix");
}

void ShaderProgram::bindAttributes() { glBindAttribLocation(programId, 0, "position"); }

void ShaderProgram::setStagePaths(const std::string& vertexFile, const std::string& fragmentFile,
                                  const std::string& geometryFile) {
    const std::string directory = resourceRoot();
    vertexShaderPath = directory + vertexFile;
    fragmentShaderPath = directory + fragmentFile;
    geometryShaderPath = geometryFile.empty() ? std::string() : directory + geometryFile;
    std::cout << vertexShaderPath << std::endl;
}
