#pragma once

#include <GL/glew.h>

// Surface look of a textured mesh: its texture and the lighting constants of the textured program.
// Copies of one model part share one material, so changing it changes all of them.
class Material {
public:
    Material(GLuint textureId = 0, float shineDamper = 1.0f, float reflectivity = 0.0f, bool hasTransparency = false);

    GLuint textureId = 0;  // 2D texture bound to unit 0 when drawn
    float shineDamper = 1.0f;
    float reflectivity = 0.0f;
    bool hasTransparency = false;  // back faces are drawn too while this material is in use
};
