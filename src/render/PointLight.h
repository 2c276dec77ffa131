#pragma once

#include "render/Light.h"

// A lamp at a world position; its creator sets colour, attenuation and position directly.
class PointLight : public Light {
public:
    void loadToShader(GLuint programId, int index) const override;
};
