#include "render/ShaderSource.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <vector>

std::string readFile(const std::string& path) {
    std::ifstream file(path);
    if (!file.is_open()) {
        std::cerr << "Could not read file " << path << ". File does not exist." << std::endl;
        return "";
    }
    std::string content;
    std::string line;
    while (std::getline(file, line)) {
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
    GLuint shaderId = glCreateShader(type);
    std::string source = withDefines(readFile(path), defines);
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
    std::cout << log.data() << std::endl;
    return shaderId;
}

bool checkLinkStatus(GLuint programId) {
    GLint status = 0;
    glGetProgramiv(programId, GL_LINK_STATUS, &status);
    if (status != 0) return status == GL_TRUE;

    GLint logLength = 0;
    glGetProgramiv(programId, GL_INFO_LOG_LENGTH, &logLength);
    std::string log(static_cast<size_t>(std::max(logLength, 0)), '\0');
    if (logLength > 0) glGetProgramInfoLog(programId, logLength, nullptr, &log[0]);
    // The log length counts the terminating null; keep it out of the printed text.
    while (!log.empty() && log.back() == '\0') log.pop_back();
    std::cerr << "Linking Error with Program and Shader, " << log << std::endl;
    return false;
}
