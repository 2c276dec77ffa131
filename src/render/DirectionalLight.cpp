#include "render/DirectionalLight.h"

DirectionalLight::DirectionalLight(const glm::vec3& direction, const glm::vec3& lightColor) {
    color = lightColor;
    attenuation = glm::vec3(1.0f, 0.0f, 0.0f);
    position = glm::normalize(direction);
}

void DirectionalLight::loadToShader(GLuint programId, int index) const { writeSlot(programId, index, 1); }

void DirectionalLight::loadDirectionalLight(GLuint programId) const {
    glUseProgram(programId);
    glUniform3f(glGetUniformLocation(programId, "lightPos"), position.x, position.y, position.z);
    glUniform3f(glGetUniformLocation(programId, "lightColor"), color.x, color.y, color.z);
    glUniform3f(glGetUniformLocation(programId, "attenuation"), attenuation.x, attenuation.y, attenuation.z);
    glUniform1i(glGetUniformLocation(programId, "lightType"), 1);
    glUniform3f(glGetUniformLocation(programId, "toLightVec"), -position.x, -position.y, -position.z);
}
