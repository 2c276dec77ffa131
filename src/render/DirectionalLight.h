#pragma once

#include "render/Light.h"

// The sun: a light travelling in one direction. Its view matrix is rewritten by the shadow pass.
class DirectionalLight : public Light {
public:
    DirectionalLight(const glm::vec3& direction, const glm::vec3& color);

    void loadToShader(GLuint programId, int index) const override;
    // Writes the light into the single (non-array) uniforms of the fountain surface program,
    // including "toLightVec", the direction from a surface towards the light. Makes it current.
    void loadDirectionalLight(GLuint programId) const;

    glm::mat4 viewMatrix{1.0f};
};
