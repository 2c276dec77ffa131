#include "view/ScenePasses.h"

#include "effects/ParticleSystem.h"
#include "effects/SkyBox.h"
#include "effects/WaterFrameBuffers.h"
#include "effects/WaterShader.h"
#include "effects/WaterTile.h"
#include "entities/ItemManager.h"
#include "fluid/BlobbyShader.h"
#include "fluid/Liquid.h"
#include "render/Camera.h"
#include "render/DirectionalLight.h"
#include "render/GlContextState.h"
#include "render/GlErrors.h"
#include "render/PointLight.h"
#include "render/SceneTarget.h"
#include "render/ShadowBox.h"
#include "render/ShadowFrameBuffer.h"
#include "render/TexturedShader.h"
#include "terrain/AdvancedTerrain.h"
#include "terrain/AdvancedTerrainShader.h"
#include "view/Renderer.h"
#include "view/ShadowMaster.h"
#include "view/ViewParts.h"
#include "world/World.h"

#include <limits>

namespace {

// The main image's plane when nothing is to be clipped.
const glm::vec4 kNoClip(0.0f, -1.0f, 0.0f, 10000.0f);
// The water shows nothing of the bed where it is 4 units deep along the view (the water program's
// shallows); below this depth under the surface the landscape is hidden from any view above it.
constexpr float kHiddenDepth = 5.0f;

}  // namespace

ScenePasses::ScenePasses(ViewParts& viewParts) : parts(viewParts) { glGenQueries(1, &waterQuery); }

ScenePasses::~ScenePasses() {
    if (waterQuery != 0 && hasCurrentGlContext()) glDeleteQueries(1, &waterQuery);
}

void ScenePasses::renderShadows(const World& world) {
    ShadowMaster& shadowMaster = *parts.shadowMaster;
    AdvancedTerrain& terrain = *world.terrain();
    useCoarseModels(true);
    if (parts.quality.terrainChunks) {
        // The landscape first: its depth may come from the last frames' (see renderTerrainChunks).
        shadowMaster.beginPass(false);
        shadowMaster.renderTerrainChunks(terrain.chunks);
        parts.renderer->renderShadowMap(world.batches(), *parts.sun, shadowMaster.shadowBox->projectionMatrix, 1000.0f);
        shadowMaster.castModels(parts.renderer->shadowCastBounds());
    } else {
        shadowMaster.render();
        parts.renderer->renderShadowMap(world.batches(), *parts.sun, shadowMaster.shadowBox->projectionMatrix, 1000.0f);
        shadowMaster.renderTerrain(*terrain.mesh);
    }
    shadowMaster.endPass();
    shadowMaster.loadShadowUniforms(*terrain.shader);
    useCoarseModels(false);
}

void ScenePasses::useCoarseModels(bool images) {
    const GraphicsQuality& quality = parts.quality;
    parts.renderer->coarseModelDistance =
        images && quality.coarseModelsInImages ? GraphicsQuality::kAnyDistance : quality.coarseModelDistance;
}

void ScenePasses::useLandscapeDetail(bool mirror) {
    // The landscape's chunks at the level's detail in every pass that draws them but the shadow map's.
    const GraphicsQuality& quality = parts.quality;
    const float never = std::numeric_limits<float>::infinity();
    const float coarseFrom = mirror && quality.terrainCoarseInMirror ? 0.0f : quality.terrainCoarseFrom;
    parts.renderer->terrainDetail = {quality.terrainLightFrom >= 0.0f ? quality.terrainLightFrom : never,
                                     coarseFrom >= 0.0f ? coarseFrom : never};
}

bool ScenePasses::waterHiddenLastFrame() {
    if (!waterQueried) return false;
    GLuint anyDrawn = 1;
    glGetQueryObjectuiv(waterQuery, GL_QUERY_RESULT, &anyDrawn);
    return anyDrawn == 0;
}

glm::vec4 ScenePasses::mainClipPlane(const World& world) const {
    if (!parts.quality.clipUnderWater || world.waterTiles().empty()) return kNoClip;
    const float h = world.waterTiles().front()->position.y;
    // From below the surface the lake bed is in plain view.
    if (parts.camera->position.y <= h) return kNoClip;
    return glm::vec4(0.0f, 1.0f, 0.0f, -(h - kHiddenDepth));
}

void ScenePasses::renderWaterImages(const World& world) {
    // With culling off every tile gets its images, as with the frustum test.
    if (parts.quality.skipHiddenWater && parts.culling() && waterHiddenLastFrame()) {
        waterImages.forget();  // both are drawn afresh when the water comes back into view
        return;
    }
    bool tileInView = false;
    for (const auto& tile : world.waterTiles())
        tileInView = tileInView || !parts.culling() || parts.camera->isInFrustum(tile->worldCorners());
    if (!tileInView) return;
    const int images = waterImages.due(parts.camera->position, parts.camera->rotation, parts.quality.waterImagesInTurn);
    if (images == 0) return;
    for (const auto& tile : world.waterTiles()) {
        if (!parts.camera->isInFrustum(tile->worldCorners()) && parts.culling()) continue;
        glEnable(GL_CLIP_DISTANCE0);
        renderWaterImagesAt(world, tile->position.y, images);
        parts.waterFrameBuffers->unbindCurrentFrameBuffer();
        glDisable(GL_CLIP_DISTANCE0);
    }
}

void ScenePasses::renderWaterImagesAt(const World& world, float h, int images) {
    Camera& camera = *parts.camera;
    useCoarseModels(true);
    if (images & WaterImageSchedule::kReflection) {
        // The mirror image: the camera as far below the water line as it is above, looking up as much
        // as it looked down.
        parts.waterFrameBuffers->bindReflectionFrameBuffer();
        const glm::vec3 saved = camera.position;
        const float distance = 2.0f * (saved.y - h);
        camera.setPosition(glm::vec3(saved.x, saved.y - distance, saved.z));
        camera.setRotation(glm::vec3(-camera.rotation.x, camera.rotation.y, camera.rotation.z));
        useLandscapeDetail(true);
        renderScene(world, glm::vec4(0.0f, 1.0f, 0.0f, -h + 0.2f), 50.0f);
        useLandscapeDetail(false);
        camera.setRotation(glm::vec3(-camera.rotation.x, camera.rotation.y, camera.rotation.z));
        camera.setPosition(saved);
    }
    if (images & WaterImageSchedule::kRefraction) {
        parts.waterFrameBuffers->bindRefractionFrameBuffer();
        renderScene(world, glm::vec4(0.0f, -1.0f, 0.0f, h + 0.2f), 50.0f);
    }
    useCoarseModels(false);
}

void ScenePasses::renderMainImage(const World& world) {
    parts.sceneTarget->bind();
    const glm::vec4 mainPlane = mainClipPlane(world);
    const bool clipped = mainPlane != kNoClip;
    if (clipped) glEnable(GL_CLIP_DISTANCE0);
    renderScene(world, mainPlane, 400.0f);
    if (clipped) glDisable(GL_CLIP_DISTANCE0);
}

void ScenePasses::renderScene(const World& world, const glm::vec4& clipPlane, float maxDistance) {
    drainGlErrors("OpenGL error at start of render scene:");
    if (parts.onScenePass) parts.onScenePass(clipPlane, maxDistance);
    const GraphicsQuality& quality = parts.quality;
    Renderer& renderer = *parts.renderer;
    if (quality.skyLast) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    } else {
        parts.skyBox->draw(*parts.camera, renderer.skyColor);  // clears colour and depth first
    }
    renderer.clipPlane = clipPlane;
    if (!world.batches().empty()) renderer.renderEntities(world.batches(), maxDistance);

    const AdvancedTerrain& terrain = *world.terrain();
    glUseProgram(terrain.programId);
    glUniform4f(terrain.shader->clipPlaneLocation, clipPlane.x, clipPlane.y, clipPlane.z, clipPlane.w);
    renderer.prepareTerrain(*terrain.mesh, *terrain.shader);
    if (quality.terrainChunks)
        renderer.renderChunks(*terrain.chunks, *terrain.shader, terrain.terrainTexture);
    else
        renderer.renderArray(*terrain.mesh, *terrain.shader, terrain.terrainTexture);
    glBindVertexArray(0);

    if (quality.skyLast) {
        // Only where nothing covers it. The sky is never cut by the water's plane.
        const GLboolean clipping = glIsEnabled(GL_CLIP_DISTANCE0);
        glDisable(GL_CLIP_DISTANCE0);
        parts.skyBox->draw(*parts.camera, renderer.skyColor, false);
        if (clipping) glEnable(GL_CLIP_DISTANCE0);
    }
}

void ScenePasses::renderWaterSurfaces(const World& world, float seconds) {
    const bool counting = parts.quality.skipHiddenWater && !world.waterTiles().empty();
    if (counting) glBeginQuery(GL_ANY_SAMPLES_PASSED, waterQuery);
    for (const auto& tile : world.waterTiles()) {
        tile->advance(seconds);
        glUseProgram(tile->programId);
        const auto& mesh = *tile->meshes.front();
        parts.renderer->prepareTerrain(mesh, *tile->shader);
        parts.renderer->renderWater(mesh, *tile->shader, tile->textures[0], tile->textures[1], tile->textures[2],
                                    tile->textures[3], tile->textures[4], tile->moveFactor);
        glBindVertexArray(0);
    }
    if (counting) glEndQuery(GL_ANY_SAMPLES_PASSED);
    waterQueried = counting;
}

void ScenePasses::prepareFountains(const World& world, float seconds) {
    const Camera& camera = *parts.camera;
    dueFountains.clear();
    // Near fountains in view flow and are marched; spent ones are skipped before any distance test.
    for (const auto& healer : world.items()->getFountains()) {
        // Only liquid fountains have a look of their own.
        auto* fountain = dynamic_cast<Liquid*>(healer.get());
        if (!fountain || !fountain->isDue(camera.position, camera.frustum, parts.culledCount)) continue;
        fountain->flow(seconds);
        const float distance = glm::length(fountain->position - camera.position);
        const int stride = Liquid::surfaceStride(distance, parts.quality.fountainLeastStride);
        parts.renderer->marchFountain(*fountain, stride);
        dueFountains.emplace_back(fountain, stride);
    }
}

void ScenePasses::renderFountains() {
    for (const auto& [fountain, stride] : dueFountains) parts.renderer->drawFountain(*fountain, stride);
    dueFountains.clear();
}

void ScenePasses::loadLights(const World& world) {
    addLight(*parts.renderer->texturedShader, *parts.sun, 0);
    addLight(*parts.renderer->texturedShader, *parts.lamp, 1);
    parts.sun->loadDirectionalLight(parts.renderer->blobbyProgramId);
    if (const auto& terrain = world.terrain()) {
        addLight(*terrain->shader, *parts.sun, 0);
        addLight(*terrain->shader, *parts.lamp, 1);
    }
    for (const auto& tile : world.waterTiles()) {
        addLight(*tile->shader, *parts.sun, 0);
        addLight(*tile->shader, *parts.lamp, 1);
    }
}

void ScenePasses::useWaterVariant(const World& world) {
    for (const auto& tile : world.waterTiles()) {
        // A rebuilt program starts without lights, even where the driver gave it the old one's name.
        if (!tile->useShaderVariant(parts.quality.waterShaderDefines())) continue;
        addLight(*tile->shader, *parts.sun, 0);
        addLight(*tile->shader, *parts.lamp, 1);
    }
}

void ScenePasses::sizeTargets(const World* world) {
    const GraphicsQuality& quality = parts.quality;
    const int width = parts.width, height = parts.height;
    auto& frameBuffers = parts.waterFrameBuffers;
    parts.sceneTarget->resize(width, height, quality.sceneScale(width, height), quality.samples, quality.smoothUpscale);
    if (quality.waterImageScale > 0.0f) {
        const int refractionWidth = SceneTarget::scaled(parts.sceneTarget->width(), quality.waterImageScale);
        const int refractionHeight = SceneTarget::scaled(parts.sceneTarget->height(), quality.waterImageScale);
        // The mirror image keeps a quarter of the refraction image's area, as at the fixed sizes.
        frameBuffers = std::make_shared<WaterFrameBuffers>(width, height, refractionWidth / 2, refractionHeight / 2,
                                                           refractionWidth, refractionHeight);
    } else if (!frameBuffers || frameBuffers->refractionWidth != WaterFrameBuffers::kRefractionWidth ||
               frameBuffers->refractionHeight != WaterFrameBuffers::kRefractionHeight) {
        frameBuffers = std::make_shared<WaterFrameBuffers>(width, height);
    } else {
        frameBuffers->windowWidth = static_cast<GLuint>(width);
        frameBuffers->windowHeight = static_cast<GLuint>(height);
    }
    if (world) {
        for (const auto& tile : world->waterTiles()) {
            tile->textures[0] = frameBuffers->reflectionTexture;
            tile->textures[1] = frameBuffers->refractionTexture;
            tile->textures[4] = frameBuffers->refractionDepthTexture;
        }
    }
    waterQueried = false;  // new images are drawn whatever was seen
    waterImages.forget();
}

void ScenePasses::applyShadowAndTerrainQuality(const World* world) {
    const GraphicsQuality& quality = parts.quality;
    const int size = quality.shadowMapSize;
    ShadowMaster& shadowMaster = *parts.shadowMaster;
    if (parts.shadowFrameBuffer->width != size) {
        parts.shadowFrameBuffer = std::make_shared<ShadowFrameBuffer>(size, size, parts.width, parts.height);
        shadowMaster.frameBuffer = parts.shadowFrameBuffer;
    }
    parts.renderer->shadowMapTexture = parts.shadowFrameBuffer->depthTexture;
    parts.renderer->shadowMapSize = parts.shadowFrameBuffer->width;
    parts.renderer->shadowOutlineDistance = quality.shadowOutlineDistance;
    parts.renderer->outlineModelDistance = quality.outlineModelDistance;
    useCoarseModels(false);
    useLandscapeDetail(false);
    shadowMaster.shadowBox->mapSize = static_cast<float>(size);
    shadowMaster.boxStep =
        static_cast<float>(quality.shadowBoxStep) * 2.0f * ShadowBox::halfExtent / static_cast<float>(size);
    shadowMaster.cacheTerrain = quality.shadowBoxStep > 0 && quality.terrainChunks;
    if (!world || !world->terrain()) return;
    AdvancedTerrain& terrain = *world->terrain();
    if (terrain.useShaderVariant(quality.terrainShaderDefines())) {
        addLight(*terrain.shader, *parts.sun, 0);
        addLight(*terrain.shader, *parts.lamp, 1);
    }
    terrain.useTextureHalvings(quality.terrainTextureHalvings);
    glBindTexture(GL_TEXTURE_2D_ARRAY, terrain.terrainTexture);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER,
                    quality.terrainMipBlend ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST);
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
}
