#pragma once

#include <GL/glew.h>

#include <string>

// A GPU program built from GLSL files below the data folder's "shader" folder (resourceRoot(), normally the working
// directory). Subclasses pick the files, the attribute bindings and the uniform locations to keep; everything else
// writes uniforms by name when it draws. Construction only sets paths (no GL); `init` needs the current context.
class ShaderProgram {
public:
    ShaderProgram() = default;
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;
    // Deletes the program (and with it its attached shaders) while a context is current; without a
    // context (an owner released after its window) the GL objects are left to the driver.
    virtual ~ShaderProgram();

    // Compiles, links and looks up the kept locations once; later calls just return `programId`.
    // A stage that cannot be read or compiled, or a program that does not link, stops the game with
    // the file and the log (refuseResource). Leaves the program current (see getAllUniformLocations).
    virtual GLuint init();
    // Compiles and links again with `newDefines` unless the program is built with them already; the
    // new program starts with no uniform set (lights included). Leaves the program current.
    GLuint rebuild(const std::string& newDefines);
    // Makes the program current and looks up "numberOfLights" and "modelMatrix".
    virtual void getAllUniformLocations();
    // Binds attribute 0 to "position"; takes effect at the next link.
    virtual void bindAttributes();

    GLint numberOfLightsLocation = 0;
    GLint modelMatrixLocation = 0;
    std::string vertexShaderPath;
    std::string fragmentShaderPath;
    std::string geometryShaderPath;  // empty: no geometry stage
    std::string defines;             // lines put after the #version line of every stage
    bool linked = false;
    GLuint programId = 0;
    GLuint vertexShaderId = 0;
    GLuint fragmentShaderId = 0;
    GLuint geometryShaderId = 0;
    int numberOfLights = 0;  // light slots written into this program so far

protected:
    // Sets the stage paths to the data folder followed by the given literals ("/shader/...";
    // an empty geometry literal means no geometry stage) and prints the vertex path.
    void setStagePaths(const std::string& vertexFile, const std::string& fragmentFile,
                       const std::string& geometryFile = "");
};
