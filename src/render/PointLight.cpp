#include "render/PointLight.h"

void PointLight::loadToShader(GLuint programId, int index) const { writeSlot(programId, index, 0); }
