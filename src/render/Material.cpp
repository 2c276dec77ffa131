#include "render/Material.h"

#include "render/ShaderProgram.h"

Material::Material(GLuint textureId, float shineDamper, float reflectivity, bool hasTransparency)
    : textureId(textureId), shineDamper(shineDamper), reflectivity(reflectivity), hasTransparency(hasTransparency) {}

void Material::setShader(const std::shared_ptr<ShaderProgram>& newShader) {
    shader = newShader;
    programId = shader ? shader->init() : 0;
}
