#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

class ShaderProgram;

// A light that writes itself into one slot of a program's light arrays ("lightPos[i]",
// "lightColor[i]", "attenuation[i]", "lightType[i]").
class Light {
public:
    virtual ~Light() = default;

    // Makes `programId` current and writes slot `index`. The base light writes nothing.
    virtual void loadToShader(GLuint programId, int index) const {}

    glm::vec3 color{0.0f};
    glm::vec3 attenuation{1.0f, 0.0f, 0.0f};
    // World position for a point light; normalized travel direction for a directional light.
    glm::vec3 position{0.0f};

protected:
    // Writes the four array elements of slot `index`; `type` is 1 for directional, 0 for point.
    void writeSlot(GLuint programId, int index, int type) const;
};

// The light slots every lit program has (the shaders' MAX_LIGHTS): the sun and the lamp.
constexpr int kLightSlots = 2;

// Writes `light` into slot `index` of `program` (making it current), counts the slot in the program's
// numberOfLights when it is new, and uploads the count to "numberOfLights". A slot outside
// [0, kLightSlots) is said on stderr and nothing is written.
void addLight(ShaderProgram& program, const Light& light, int index);
