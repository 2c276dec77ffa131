#pragma once

#include <glm/glm.hpp>

// One triangle as the marching-cubes pass writes it: the std430 layout of a GLSL struct of six
// vec3, each padded to 16 bytes. Vertices are in grid units; normals point out of the ground.
struct Triangle {
    glm::vec3 vertexA;
    float padA = 0.0f;
    glm::vec3 vertexB;
    float padB = 0.0f;
    glm::vec3 vertexC;
    float padC = 0.0f;
    glm::vec3 normalA;
    float padNA = 0.0f;
    glm::vec3 normalB;
    float padNB = 0.0f;
    glm::vec3 normalC;
    float padNC = 0.0f;
};

static_assert(sizeof(Triangle) == 96, "Triangle must match the shader's 96-byte record");
