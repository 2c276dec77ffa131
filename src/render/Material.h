#pragma once

#include <GL/glew.h>

#include <memory>

class ShaderProgram;

// Surface look of a textured mesh: its texture and the lighting constants of the textured program.
// Copies of one model part share one material, so changing it changes all of them.
class Material {
public:
    Material(GLuint textureId = 0, float shineDamper = 1.0f, float reflectivity = 0.0f, bool hasTransparency = false);

    // Records the program the material is meant for; `shader` must already be built (init returns
    // its name without rebuilding).
    void setShader(const std::shared_ptr<ShaderProgram>& shader);

    GLuint textureId = 0;  // 2D texture bound to unit 0 when drawn
    float shineDamper = 1.0f;
    float reflectivity = 0.0f;
    bool hasTransparency = false;  // back faces are drawn too while this material is in use
    std::shared_ptr<ShaderProgram> shader;
    GLuint programId = 0;
};
