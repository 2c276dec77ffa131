#include "effects/WaterTile.h"

#include "effects/WaterShader.h"
#include "scene/ObjectTags.h"
#include "physics/Bodies.h"
#include "physics/BulletMath.h"
#include "render/GlContextState.h"
#include "render/TextureLoader.h"
#include "render/TexturedMesh.h"

#include <btBulletDynamicsCommon.h>

#include <cmath>

void WaterTile::setSamplers() const {
    glUseProgram(programId);
    glUniform1i(glGetUniformLocation(programId, "reflectionTex"), 0);
    glUniform1i(glGetUniformLocation(programId, "refractionTex"), 1);
    glUniform1i(glGetUniformLocation(programId, "dudvMap"), 2);
    glUniform1i(glGetUniformLocation(programId, "normalMap"), 3);
    glUniform1i(glGetUniformLocation(programId, "depthMap"), 4);
}

bool WaterTile::useShaderVariant(const std::string& defines) {
    const bool rebuilt = !shader->linked || shader->defines != defines;
    if (!rebuilt && programId == shader->programId) return false;
    programId = shader->rebuild(defines);
    setSamplers();
    return rebuilt;
}

WaterTile::WaterTile(const glm::vec3& position, const std::string& shaderDefines) : GameObject("waterTile.dae") {
    setTransform(position, glm::vec3(0.0f), glm::vec3(kHalfSize, kHalfSize, 1.0f));
    shader = std::make_shared<WaterShader>();
    programId = shader->rebuild(shaderDefines);
    setSamplers();

    const GLuint dudv = loadTexture("water/dudv.png", 512, 512);
    const GLuint normal = loadTexture("water/normal.png", 512, 512);
    textures = {0, 0, dudv, normal, 0};

    // A flat static box: rays report "water", bodies pass straight through it.
    collisionShape = new btBoxShape(btVector3(kHalfSize, 0.0, kHalfSize));
    rigidBody = physics::createBody(this, collisionShape, 0.0, physics::placedAt(position), motionState,
                                    btCollisionObject::CF_NO_CONTACT_RESPONSE);
    name = tags::kWater;
}

WaterTile::~WaterTile() {
    if (!hasCurrentGlContext() || textures.size() < 4) return;
    const GLuint maps[] = {textures[2], textures[3]};
    glDeleteTextures(2, maps);
}

void WaterTile::advance(float dt) {
    moveFactor = static_cast<float>(std::fmod(static_cast<double>(moveFactor) + 0.02 * static_cast<double>(dt), 1.0));
    // fmod of a value just below 1 can round up to exactly 1 once stored as a float.
    if (moveFactor >= 1.0f) moveFactor = 0.0f;
}

std::vector<glm::vec3> WaterTile::worldCorners() const {
    std::vector<glm::vec3> corners;
    if (meshes.empty()) return corners;
    const glm::mat4 model = meshes.front()->getModelMatrix();
    for (const glm::vec3& corner : meshes.front()->boundingBoxCorners)
        corners.push_back(glm::vec3(model * glm::vec4(corner, 1.0f)));
    return corners;
}
