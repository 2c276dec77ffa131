#include "render/Material.h"

Material::Material(GLuint textureId, float shineDamper, float reflectivity, bool hasTransparency)
    : textureId(textureId), shineDamper(shineDamper), reflectivity(reflectivity), hasTransparency(hasTransparency) {}
