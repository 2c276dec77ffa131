#include "effects/SkyBox.h"

#include "effects/SkyBoxShader.h"
#include "render/Camera.h"
#include "render/ColladaLoader.h"
#include "render/GlContextState.h"
#include "render/TextureLoader.h"
#include "render/TexturedMesh.h"
#include "render/UniformMatrix.h"

namespace {

// Built before main so every sky shares the same lists.
const std::vector<std::string> kDayFaces = {
    "skybox/right.png", "skybox/left.png", "skybox/top.png", "skybox/bottom.png", "skybox/back.png", "skybox/front.png",
};
const std::vector<std::string> kNightFaces = {
    "skybox/nightRight.png",  "skybox/nightLeft.png", "skybox/nightTop.png",
    "skybox/nightBottom.png", "skybox/nightBack.png", "skybox/nightFront.png",
};

}  // namespace

const std::vector<std::string>& SkyBox::dayFaces() { return kDayFaces; }
const std::vector<std::string>& SkyBox::nightFaces() { return kNightFaces; }

SkyBox::SkyBox(const std::string& modelName, float brightness, int halvings) : faceHalvings(halvings) {
    ColladaLoader::loadModel(modelName, meshes);  // at least one mesh, or the game stops
    loadCubeMaps();

    shader = std::make_shared<SkyBoxShader>();
    programId = shader->init();
    glUseProgram(programId);
    glUniform1i(glGetUniformLocation(programId, "cubeMap"), 0);
    glUniform1i(glGetUniformLocation(programId, "cubeMap2"), 1);
    glUniform1f(glGetUniformLocation(programId, "brightnessFactor"), brightness);

    rotation = 0.0f;
    renderRotation = rotation;
}

void SkyBox::loadCubeMaps() {
    if (!cubeMaps.empty()) glDeleteTextures(static_cast<GLsizei>(cubeMaps.size()), cubeMaps.data());
    cubeMaps = {loadCubeMap(kDayFaces, 1024, 1024, faceHalvings), loadCubeMap(kNightFaces, 512, 512, faceHalvings)};
    if (!meshes.empty() && meshes[0]->material) meshes[0]->material->textureId = cubeMaps[0];
    model = Model{cubeMaps, meshes.empty() ? nullptr : meshes[0]};
}

void SkyBox::useFaceHalvings(int halvings) {
    if (halvings == faceHalvings) return;
    faceHalvings = halvings;
    loadCubeMaps();
}

SkyBox::~SkyBox() {
    if (!hasCurrentGlContext() || cubeMaps.empty()) return;
    glDeleteTextures(static_cast<GLsizei>(cubeMaps.size()), cubeMaps.data());
}

void SkyBox::draw(const Camera& camera, const glm::vec3& skyColour, bool clearFirst) {
    if (clearFirst) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    }

    glUseProgram(programId);
    renderRotation = rotation;

    // Later objects must cover the sky wherever they are, so it leaves no depth behind.
    glDepthMask(GL_FALSE);

    setMatrix(shader->projectionMatrixLocation, camera.getProjectionMatrix());
    setMatrix(shader->viewMatrixLocation, camera.getSkyViewMatrix(renderRotation));
    glUniform3f(shader->fogColorLocation, skyColour.r, skyColour.g, skyColour.b);
    // The night sky is loaded and bound, but the game always shows the day.
    glUniform1f(shader->blendFactorLocation, 0.0f);

    if (!model.mesh) {
        glDepthMask(GL_TRUE);
        return;
    }
    glBindVertexArray(model.mesh->vaoId);
    glEnableVertexAttribArray(0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, model.cubeMaps[0]);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_CUBE_MAP, model.cubeMaps[1]);
    glDrawElements(GL_TRIANGLES, model.mesh->vertexCount, GL_UNSIGNED_INT, nullptr);
    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(2);
    glActiveTexture(GL_TEXTURE0);

    glDepthMask(GL_TRUE);
}
