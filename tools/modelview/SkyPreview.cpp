#include "SkyPreview.h"

#include <stdexcept>
#include <string>

#include <glm/gtc/type_ptr.hpp>

#include "render/Mesh.h"

namespace {

const char* kVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
uniform mat4 projectionMatrix;
uniform mat4 viewMatrix;
out vec3 direction;
void main() {
    direction = position;
    gl_Position = projectionMatrix * viewMatrix * vec4(position, 1.0);
}
)";

const char* kFragment = R"(#version 330 core
in vec3 direction;
uniform samplerCube cubeMap;
out vec4 outColor;
void main() { outColor = vec4(texture(cubeMap, direction).rgb, 1.0); }
)";

GLuint compile(GLenum type, const char* source) {
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024];
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        throw std::runtime_error(std::string("sky preview shader: ") + log);
    }
    return shader;
}

}  // namespace

SkyPreview::SkyPreview() {
    GLuint vs = compile(GL_VERTEX_SHADER, kVertex), fs = compile(GL_FRAGMENT_SHADER, kFragment);
    program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
}

SkyPreview::~SkyPreview() { glDeleteProgram(program); }

void SkyPreview::draw(const Mesh& box, GLuint cubeMap, const glm::mat4& projection, const glm::mat4& view) {
    glUseProgram(program);
    glUniformMatrix4fv(glGetUniformLocation(program, "projectionMatrix"), 1, GL_FALSE, glm::value_ptr(projection));
    glUniformMatrix4fv(glGetUniformLocation(program, "viewMatrix"), 1, GL_FALSE, glm::value_ptr(view));
    glUniform1i(glGetUniformLocation(program, "cubeMap"), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMap);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glDepthMask(GL_FALSE);
    glBindVertexArray(box.vaoId);
    glEnableVertexAttribArray(0);
    glDrawElements(GL_TRIANGLES, box.vertexCount, GL_UNSIGNED_INT, nullptr);
    glDisableVertexAttribArray(0);
    glBindVertexArray(0);
    glDepthMask(GL_TRUE);
}
