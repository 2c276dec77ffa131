#include "view/ShadowMaster.h"

#include "render/BoxVisibility.h"
#include "render/Camera.h"
#include "render/GlContextState.h"
#include "render/DirectionalLight.h"
#include "render/LookAt.h"
#include "render/Mesh.h"
#include "view/Renderer.h"
#include "render/ShadowBox.h"
#include "render/ShadowFrameBuffer.h"
#include "render/ShadowShader.h"
#include "render/UniformMatrix.h"
#include "terrain/AdvancedTerrainShader.h"
#include "terrain/TerrainChunks.h"

ShadowMaster::ShadowMaster(std::shared_ptr<Camera> cam, std::shared_ptr<Renderer> rend,
                           std::shared_ptr<ShadowFrameBuffer> buffer)
    : frameBuffer(std::move(buffer)),
      camera(std::move(cam)),
      renderer(std::move(rend)),
      shadowBox(std::make_shared<ShadowBox>()) {}

namespace {

// +Z as up keeps the light's view defined for a sun straight overhead.
const glm::vec3 kLightUp(0.0f, 0.0f, 1.0f);

}  // namespace

glm::vec3 ShadowMaster::boxCentre(const glm::vec3& frustumCentre) const {
    if (boxStep <= 0.0f || !light) return frustumCentre;
    const glm::mat3 axes(lookAt(light->position, glm::vec3(0.0f), kLightUp));
    const glm::vec3 snapped = glm::round(axes * frustumCentre / boxStep) * boxStep;
    return glm::transpose(axes) * snapped;
}

ShadowMaster::~ShadowMaster() {
    if (cachedDepth != 0 && hasCurrentGlContext()) glDeleteTextures(1, &cachedDepth);
}

void ShadowMaster::render() { beginPass(); }

void ShadowMaster::beginPass(bool clear) {
    if (!light) return;

    camera->updateFrustum(shadowDistance);
    Frustum box = camera->frustum;
    box.centre = boxCentre(box.centre);
    const glm::vec3 centre = box.centre;
    // The eye sits one unit down the sunlight from the centre and looks back towards the sun.
    light->viewMatrix = lookAt(centre + light->position, centre, kLightUp);
    shadowBox->update(box, light->viewMatrix);

    glBindTexture(GL_TEXTURE_2D, 0);  // the depth texture must not be bound while drawn into
    frameBuffer->bindFrameBuffer();
    glEnable(GL_DEPTH_TEST);
    if (clear) glClear(GL_DEPTH_BUFFER_BIT);
    // Only things in the world go into the map: the camera's frustum outline, drawn there once, made a
    // large sloping occluder that darkened the ground in view with the sun behind the camera.
}

void ShadowMaster::renderTerrain(const Mesh& terrainMesh) {
    if (!light) return;
    const GLuint program = renderer->shadowProgramId;
    glUseProgram(program);
    // Only the faces turned away from the sun are stored, so the lit surface never shadows itself.
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glEnable(GL_DEPTH_CLAMP);  // terrain beyond the box's depth range still blocks the sun
    glBindVertexArray(terrainMesh.vaoId);
    glEnableVertexAttribArray(0);
    const ShadowShader& shader = *renderer->shadowShader;
    setMatrix(shader.viewMatrixLocation, light->viewMatrix);
    setMatrix(shader.projectionMatrixLocation, shadowBox->projectionMatrix);
    setMatrix(shader.modelMatrixLocation, terrainMesh.getModelMatrix());
    glDrawArrays(GL_TRIANGLES, 0, terrainMesh.vertexCount);
    glCullFace(GL_BACK);
    glDisable(GL_DEPTH_CLAMP);
    for (GLuint attribute : {0u, 1u, 2u}) glDisableVertexAttribArray(attribute);
    glBindVertexArray(0);
    glEnable(GL_CULL_FACE);
}

void ShadowMaster::renderTerrainChunks(const std::shared_ptr<TerrainChunks>& chunks) {
    if (!light) return;
    if (!chunks) {
        glClear(GL_DEPTH_BUFFER_BIT);
        return;
    }
    const glm::mat4 box = shadowBox->projectionMatrix * light->viewMatrix;
    const int size = frameBuffer->width;
    const bool sameChunks = !cachedChunks.owner_before(chunks) && !chunks.owner_before(cachedChunks);
    if (cacheTerrain && cacheFilled && sameChunks && cachedSize == size && cachedBox == box) {
        glCopyImageSubData(cachedDepth, GL_TEXTURE_2D, 0, 0, 0, 0, frameBuffer->depthTexture, GL_TEXTURE_2D, 0, 0, 0, 0,
                           size, frameBuffer->height, 1);
        return;
    }

    glClear(GL_DEPTH_BUFFER_BIT);
    const GLuint program = renderer->shadowProgramId;
    glUseProgram(program);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glEnable(GL_DEPTH_CLAMP);
    const ShadowShader& shader = *renderer->shadowShader;
    setMatrix(shader.viewMatrixLocation, light->viewMatrix);
    setMatrix(shader.projectionMatrixLocation, shadowBox->projectionMatrix);
    setMatrix(shader.modelMatrixLocation, glm::mat4(1.0f));
    chunks->draw([&box](const glm::vec3& min, const glm::vec3& max) { return boxMayCoverClipSquare(box, min, max); },
                 camera->position);
    glCullFace(GL_BACK);
    glDisable(GL_DEPTH_CLAMP);
    for (GLuint attribute : {0u, 1u, 2u}) glDisableVertexAttribArray(attribute);
    glBindVertexArray(0);
    glEnable(GL_CULL_FACE);

    cacheFilled = false;
    if (!cacheTerrain) return;
    if (cachedDepth == 0 || cachedSize != size) {
        if (cachedDepth != 0) glDeleteTextures(1, &cachedDepth);
        glGenTextures(1, &cachedDepth);
        glBindTexture(GL_TEXTURE_2D, cachedDepth);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, size, frameBuffer->height, 0, GL_DEPTH_COMPONENT, GL_FLOAT,
                     nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glBindTexture(GL_TEXTURE_2D, 0);
        cachedSize = size;
    }
    glCopyImageSubData(frameBuffer->depthTexture, GL_TEXTURE_2D, 0, 0, 0, 0, cachedDepth, GL_TEXTURE_2D, 0, 0, 0, 0,
                       size, frameBuffer->height, 1);
    cachedBox = box;
    cachedChunks = chunks;
    cacheFilled = true;
}

void ShadowMaster::endPass() { frameBuffer->unbindFrameBuffer(); }

glm::mat4 ShadowMaster::toShadowMapSpace() const {
    // Clip coordinates -1..1 to texture coordinates and depth 0..1.
    const glm::mat4 bias(0.5f, 0.0f, 0.0f, 0.0f,  //
                         0.0f, 0.5f, 0.0f, 0.0f,  //
                         0.0f, 0.0f, 0.5f, 0.0f,  //
                         0.5f, 0.5f, 0.5f, 1.0f);
    const glm::mat4 lightView = light ? light->viewMatrix : glm::mat4(1.0f);
    return bias * shadowBox->projectionMatrix * lightView;
}

void ShadowMaster::loadShadowUniforms(const AdvancedTerrainShader& terrain) const {
    glUseProgram(terrain.programId);
    setMatrix(terrain.toShadowMapSpaceLocation, toShadowMapSpace());
    glUniform1f(terrain.shadowDistanceLocation, shadowDistance);
}
