#include "render/ShaderSource.h"

#include "render/ResourceFailure.h"
#include "render/WholeFile.h"

#include <algorithm>
#include <iostream>
#include <sstream>
#include <vector>

namespace {

// No shader source comes near this; anything larger is not one.
constexpr size_t kMaxSourceBytes = 1 << 20;

}  // namespace

std::string readFile(const std::string& path) {
    const WholeFile file = WholeFile::read(path, kMaxSourceBytes);
    if (!file.ok()) refuseResource("Cannot load shader " + path + ": " + file.reason);
    std::istringstream lines(file.content);
    std::string content;
    std::string line;
    while (std::getline(lines, line)) {
        content += line;
        content += "\n";
    }
    return content;
}

std::string withDefines(const std::string& source, const std::string& defines) {
    if (defines.empty()) return source;
    if (source.rfind("#version", 0) != 0) return defines + source;
    const size_t lineEnd = source.find('\n');
    if (lineEnd == std::string::npos) return source + "\n" + defines;
    return source.substr(0, lineEnd + 1) + defines + source.substr(lineEnd + 1);
}

GLuint compileShader(const std::string& path, GLenum type, const std::string& defines) {
    const std::string source = withDefines(readFile(path), defines);
    const GLuint shaderId = glCreateShader(type);
    std::cout << "Compiling shader: " << path << std::endl;

    const char* text = source.c_str();
    glShaderSource(shaderId, 1, &text, nullptr);
    glCompileShader(shaderId);

    GLint status = GL_FALSE;
    GLint logLength = 0;
    glGetShaderiv(shaderId, GL_COMPILE_STATUS, &status);
    glGetShaderiv(shaderId, GL_INFO_LOG_LENGTH, &logLength);
    // The log is printed even on success, so every compile leaves exactly one log line.
    std::vector<char> log(static_cast<size_t>(std::max(logLength, 1)), '\0');
    if (logLength > 0) glGetShaderInfoLog(shaderId, logLength, nullptr, log.data());
    if (status != GL_TRUE) refuseResource("Cannot load shader " + path + ": it does not compile:\n" + log.data());
    std::cout << log.data() << std::endl;
    return shaderId;
}

void linkProgram(GLuint programId, const std::string& sources) {
    glLinkProgram(programId);
    GLint status = GL_FALSE;
    glGetProgramiv(programId, GL_LINK_STATUS, &status);
    if (status == GL_TRUE) return;
    GLint logLength = 0;
    glGetProgramiv(programId, GL_INFO_LOG_LENGTH, &logLength);
    std::vector<char> log(static_cast<size_t>(std::max(logLength, 1)), '\0');
    if (logLength > 0) glGetProgramInfoLog(programId, logLength, nullptr, log.data());
    refuseResource("Cannot link the shader program of " + sources + ":\n" + log.data());
}
