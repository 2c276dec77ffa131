#include "render/Light.h"

#include "render/ShaderProgram.h"

#include <iostream>
#include <string>

void Light::writeSlot(GLuint programId, int index, int type) const {
    glUseProgram(programId);
    const std::string slot = "[" + std::to_string(index) + "]";
    glUniform3f(glGetUniformLocation(programId, ("lightPos" + slot).c_str()), position.x, position.y, position.z);
    glUniform3f(glGetUniformLocation(programId, ("lightColor" + slot).c_str()), color.x, color.y, color.z);
    glUniform3f(glGetUniformLocation(programId, ("attenuation" + slot).c_str()), attenuation.x, attenuation.y,
                attenuation.z);
    glUniform1i(glGetUniformLocation(programId, ("lightType" + slot).c_str()), type);
}

void addLight(ShaderProgram& program, const Light& light, int index) {
    if (index < 0 || index >= kLightSlots) {
        std::cerr << "Light slot " << index << " left out: the shaders have " << kLightSlots << "." << std::endl;
        return;
    }
    light.loadToShader(program.programId, index);
    if (program.numberOfLights <= index) ++program.numberOfLights;
    glUniform1i(program.numberOfLightsLocation, program.numberOfLights);
}
