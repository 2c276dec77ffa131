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

#include <cmath>

ShadowMaster::ShadowMaster(std::shared_ptr<Camera> cam, std::shared_ptr<Renderer> rend,
                           std::shared_ptr<ShadowFrameBuffer> buffer)
    : frameBuffer(std::move(buffer)),
      camera(std::move(cam)),
      renderer(std::move(rend)),
      shadowBox(std::make_shared<ShadowBox>()) {}

namespace {

// +Z as up keeps the light's view defined for a sun straight overhead.
const glm::vec3 kLightUp(0.0f, 0.0f, 1.0f);
// Along the sunlight a stepping box steps this many world units. A step across only moves the kept
// landscape depth sideways, a step along changes every depth in it and has the landscape drawn whole
// again, so it comes at most a few times in a world 800 units across.
constexpr float kDepthStep = 600.0f;
// The box stays until the eye is this many steps beyond its centre (see heldBoxCentre).
constexpr float kHeldSteps = 0.75f;

// Whether the shadow box `to` is `from` moved across the sunlight by whole texels of a map `size`
// texels wide (less than a map's width), and by how many (`shift`, in texels along the map's x and y).
bool isWholeTexelShift(const glm::mat4& from, const glm::mat4& to, int size, glm::ivec2& shift) {
    for (int column = 0; column < 3; ++column) {
        const glm::vec4 difference = glm::abs(to[column] - from[column]);
        if (glm::max(glm::max(difference.x, difference.y), glm::max(difference.z, difference.w)) >
            1e-5f * glm::length(from[column]))
            return false;
    }
    if (std::abs(to[3][2] - from[3][2]) > 1e-6f) return false;
    const glm::vec2 texels =
        glm::vec2(to[3][0] - from[3][0], to[3][1] - from[3][1]) * (0.5f * static_cast<float>(size));
    shift = glm::ivec2(glm::round(texels));
    return glm::all(glm::lessThan(glm::abs(texels - glm::vec2(shift)), glm::vec2(0.01f))) && std::abs(shift.x) < size &&
           std::abs(shift.y) < size;
}

// The light's axes (across, across, along the sunlight) for sunlight travelling along `sunlight`.
glm::mat3 sunAxes(const glm::vec3& sunlight) { return glm::mat3(lookAt(sunlight, glm::vec3(0.0f), kLightUp)); }

}  // namespace

glm::vec3 ShadowMaster::boxCentre(const glm::vec3& frustumCentre) const {
    if (boxStep <= 0.0f || !light) return frustumCentre;
    const glm::mat3 axes = sunAxes(light->position);
    const glm::vec3 steps(boxStep, boxStep, kDepthStep);
    const glm::vec3 snapped = glm::round(axes * frustumCentre / steps) * steps;
    return glm::transpose(axes) * snapped;
}

glm::vec3 ShadowMaster::heldBoxCentre(const glm::vec3& eye) {
    if (boxStep <= 0.0f || !light) return eye;
    // An eye hovering about the edge of a cell would have the box step to and fro, each step a strip
    // of landscape drawn again: the box stays until the eye is three quarters of a step beyond it.
    const glm::vec3 away =
        glm::abs(sunAxes(light->position) * (eye - heldCentre)) / glm::vec3(boxStep, boxStep, kDepthStep);
    if (heldStep != boxStep || glm::any(glm::greaterThan(away, glm::vec3(kHeldSteps)))) {
        heldCentre = boxCentre(eye);
        heldStep = boxStep;
    }
    return heldCentre;
}

ShadowMaster::~ShadowMaster() {
    if (cachedDepth != 0 && hasCurrentGlContext()) glDeleteTextures(1, &cachedDepth);
}

void ShadowMaster::render() { beginPass(); }

void ShadowMaster::beginPass(bool clear) {
    if (!light) return;

    camera->updateFrustum(shadowDistance);
    Frustum box = camera->frustum;
    // A stepping box is centred on the eye: it reaches farther than the shadows in every direction, so
    // it stands still while the view turns and steps only as the camera travels.
    box.centre = boxStep > 0.0f ? heldBoxCentre(camera->position) : box.centre;
    const glm::vec3 centre = box.centre;
    // The eye sits one unit down the sunlight from the centre and looks back towards the sun.
    light->viewMatrix = lookAt(centre + light->position, centre, kLightUp);
    // Between steps the shadows' receivers lie up to shadowDistance beyond the eye, the eye up to
    // kHeldSteps along the sunlight from the centre; a little more for the models standing on them.
    shadowBox->depthReach = boxStep > 0.0f ? kHeldSteps * kDepthStep + shadowDistance + 50.0f : 0.0f;
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
    const bool castWasKnown = castKnown;
    castKnown = false;  // until castModels tells where this frame's models go
    if (!chunks) {
        glClear(GL_DEPTH_BUFFER_BIT);
        return;
    }
    const glm::mat4 box = shadowBox->projectionMatrix * light->viewMatrix;
    const int size = frameBuffer->width;
    const bool sameChunks = !cachedChunks.owner_before(chunks) && !chunks.owner_before(cachedChunks);
    const bool kept = cacheTerrain && cacheFilled && sameChunks && cachedSize == size;
    if (kept && cachedBox == box) {
        // Only the models' texels differ from the kept landscape.
        const glm::ivec4 texels = castWasKnown ? castTexels : glm::ivec4(0, 0, size, frameBuffer->height);
        if (texels.z > 0 && texels.w > 0)
            glCopyImageSubData(cachedDepth, GL_TEXTURE_2D, 0, texels.x, texels.y, 0, frameBuffer->depthTexture,
                               GL_TEXTURE_2D, 0, texels.x, texels.y, 0, texels.z, texels.w, 1);
        return;
    }
    glm::ivec2 shift(0);
    if (kept && frameBuffer->height == size && isWholeTexelShift(cachedBox, box, size, shift)) {
        // The box stepped across the sunlight: the kept depth moves by whole texels and only the strips
        // it leaves open are drawn.
        const glm::ivec2 from = glm::max(-shift, glm::ivec2(0)), to = glm::max(shift, glm::ivec2(0));
        glCopyImageSubData(cachedDepth, GL_TEXTURE_2D, 0, from.x, from.y, 0, frameBuffer->depthTexture, GL_TEXTURE_2D,
                           0, to.x, to.y, 0, size - std::abs(shift.x), size - std::abs(shift.y), 1);
        glEnable(GL_SCISSOR_TEST);
        if (shift.x != 0)
            drawLandscapeDepth(*chunks, box, glm::ivec4(shift.x > 0 ? 0 : size + shift.x, 0, std::abs(shift.x), size));
        if (shift.y != 0)
            drawLandscapeDepth(*chunks, box, glm::ivec4(0, shift.y > 0 ? 0 : size + shift.y, size, std::abs(shift.y)));
        glDisable(GL_SCISSOR_TEST);
    } else {
        drawLandscapeDepth(*chunks, box, glm::ivec4(0, 0, size, frameBuffer->height));
    }
    keepLandscapeDepth(chunks, box);
}

void ShadowMaster::castModels(const glm::vec4& clipBounds) {
    castKnown = cacheTerrain && cacheFilled;
    if (!castKnown) return;
    // A texel more each way than the rectangle reaches, for the rasteriser's rounding.
    const glm::vec2 size(static_cast<float>(frameBuffer->width), static_cast<float>(frameBuffer->height));
    const glm::vec2 low = glm::floor((glm::vec2(clipBounds.x, clipBounds.y) + 1.0f) * 0.5f * size) - 1.0f;
    const glm::vec2 high = glm::ceil((glm::vec2(clipBounds.z, clipBounds.w) + 1.0f) * 0.5f * size) + 1.0f;
    const glm::ivec2 from(glm::clamp(low, glm::vec2(0.0f), size)), to(glm::clamp(high, glm::vec2(0.0f), size));
    castTexels = glm::ivec4(from, glm::max(to - from, glm::ivec2(0)));
}

void ShadowMaster::drawLandscapeDepth(const TerrainChunks& chunks, const glm::mat4& box, const glm::ivec4& texels) {
    glScissor(texels.x, texels.y, texels.z, texels.w);
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
    // The texels as a rectangle of clip coordinates, for picking the chunks that may cover it.
    const glm::vec2 scale(2.0f / static_cast<float>(frameBuffer->width),
                          2.0f / static_cast<float>(frameBuffer->height));
    const glm::vec2 low = glm::vec2(texels.x, texels.y) * scale - 1.0f;
    const glm::vec2 high = glm::vec2(texels.x + texels.z, texels.y + texels.w) * scale - 1.0f;
    chunks.draw(
        [&](const glm::vec3& min, const glm::vec3& max) { return boxMayCoverClipRect(box, min, max, low, high); },
        camera->position);
    glCullFace(GL_BACK);
    glDisable(GL_DEPTH_CLAMP);
    for (GLuint attribute : {0u, 1u, 2u}) glDisableVertexAttribArray(attribute);
    glBindVertexArray(0);
    glEnable(GL_CULL_FACE);
}

void ShadowMaster::keepLandscapeDepth(const std::shared_ptr<TerrainChunks>& chunks, const glm::mat4& box) {
    cacheFilled = false;
    if (!cacheTerrain) return;
    const int size = frameBuffer->width;
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
