#include "game/ScenePasses.h"

#include "app/Globals.h"
#include "effects/SkyBox.h"
#include "effects/WaterFrameBuffers.h"
#include "effects/WaterShader.h"
#include "effects/WaterTile.h"
#include "entities/ItemManager.h"
#include "fluid/Liquid.h"
#include "game/Game.h"
#include "render/Camera.h"
#include "render/DirectionalLight.h"
#include "render/GlErrors.h"
#include "render/GlContextState.h"
#include "render/PointLight.h"
#include "render/Renderer.h"
#include "render/SceneTarget.h"
#include "render/ShadowBox.h"
#include "render/ShadowFrameBuffer.h"
#include "render/ShadowMaster.h"
#include "terrain/AdvancedTerrain.h"
#include "terrain/AdvancedTerrainShader.h"

namespace {

// The main image's plane when nothing is to be clipped.
const glm::vec4 kNoClip(0.0f, -1.0f, 0.0f, 10000.0f);
// The water shows nothing of the bed where it is 4 units deep along the view (the water program's
// shallows); below this depth under the surface the landscape is hidden from any view above it.
constexpr float kHiddenDepth = 5.0f;

}  // namespace

ScenePasses::ScenePasses(Game& owner) : game(owner) { glGenQueries(1, &waterQuery); }

ScenePasses::~ScenePasses() {
    if (waterQuery != 0 && hasCurrentGlContext()) glDeleteQueries(1, &waterQuery);
}

void ScenePasses::renderShadows() {
    ShadowMaster& shadowMaster = *game.shadowMaster;
    AdvancedTerrain& terrain = *game.terrain;
    if (game.graphicsQuality().terrainChunks) {
        // The landscape first: its depth may come from the last frames' (see renderTerrainChunks).
        shadowMaster.beginPass(false);
        shadowMaster.renderTerrainChunks(terrain.chunks);
        game.renderer->renderShadowMap(game.renderMap, *game.sun, shadowMaster.shadowBox->projectionMatrix, 1000.0f);
    } else {
        shadowMaster.render();
        game.renderer->renderShadowMap(game.renderMap, *game.sun, shadowMaster.shadowBox->projectionMatrix, 1000.0f);
        shadowMaster.renderTerrain(*terrain.mesh);
    }
    shadowMaster.endPass();
    shadowMaster.loadShadowUniforms(*terrain.shader);
}

bool ScenePasses::waterHiddenLastFrame() {
    if (!waterQueried) return false;
    GLuint anyDrawn = 1;
    glGetQueryObjectuiv(waterQuery, GL_QUERY_RESULT, &anyDrawn);
    return anyDrawn == 0;
}

glm::vec4 ScenePasses::mainClipPlane() const {
    if (!game.graphicsQuality().clipUnderWater || game.waterTiles.empty()) return kNoClip;
    const float h = game.waterTiles.front()->position.y;
    // From below the surface the lake bed is in plain view.
    if (game.camera->position.y <= h) return kNoClip;
    return glm::vec4(0.0f, 1.0f, 0.0f, -(h - kHiddenDepth));
}

void ScenePasses::renderWaterImages(float dt) {
    // With culling off every tile gets its images, as with the frustum test.
    if (game.graphicsQuality().skipHiddenWater && cullingEnabled && waterHiddenLastFrame()) return;
    for (const auto& tile : game.waterTiles) {
        if (!game.camera->isInFrustum(tile->worldCorners()) && cullingEnabled) continue;
        glEnable(GL_CLIP_DISTANCE0);
        renderWaterImagesAt(dt, tile->position.y);
        game.waterFrameBuffers->unbindCurrentFrameBuffer();
        glDisable(GL_CLIP_DISTANCE0);
    }
}

void ScenePasses::renderWaterImagesAt(float dt, float h) {
    Camera& camera = *game.camera;
    // The mirror image: the camera as far below the water line as it is above, looking up as much as
    // it looked down.
    game.waterFrameBuffers->bindReflectionFrameBuffer();
    const glm::vec3 saved = camera.position;
    const float distance = 2.0f * (saved.y - h);
    camera.setPosition(glm::vec3(saved.x, saved.y - distance, saved.z));
    camera.setRotation(glm::vec3(-camera.rotation.x, camera.rotation.y, camera.rotation.z));
    renderScene(dt, glm::vec4(0.0f, 1.0f, 0.0f, -h + 0.2f), 50.0f);
    camera.setRotation(glm::vec3(-camera.rotation.x, camera.rotation.y, camera.rotation.z));
    camera.setPosition(saved);

    game.waterFrameBuffers->bindRefractionFrameBuffer();
    renderScene(dt, glm::vec4(0.0f, -1.0f, 0.0f, h + 0.2f), 50.0f);
}

void ScenePasses::renderMainImage(float dt) {
    game.sceneTarget->bind();
    const glm::vec4 mainPlane = mainClipPlane();
    const bool clipped = mainPlane != kNoClip;
    if (clipped) glEnable(GL_CLIP_DISTANCE0);
    renderScene(dt, mainPlane, 400.0f);
    if (clipped) glDisable(GL_CLIP_DISTANCE0);
}

void ScenePasses::renderScene(float dt, const glm::vec4& clipPlane, float maxDistance) {
    drainGlErrors("OpenGL error at start of render scene:");
    if (game.onScenePass) game.onScenePass(clipPlane, maxDistance);
    const GraphicsQuality& quality = game.graphicsQuality();
    Renderer& renderer = *game.renderer;
    if (quality.skyLast) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    } else {
        game.skyBox->draw(dt, *game.camera, renderer.skyColor);  // clears colour and depth first
    }
    renderer.clipPlane = clipPlane;
    if (!game.renderMap.empty()) renderer.renderEntities(game.renderMap, maxDistance);

    const AdvancedTerrain& terrain = *game.terrain;
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
        game.skyBox->draw(dt, *game.camera, renderer.skyColor, false);
        if (clipping) glEnable(GL_CLIP_DISTANCE0);
    }
}

void ScenePasses::renderWaterSurfaces(float dt) {
    auto waterShader = WaterShader::getInstance();
    const bool counting = game.graphicsQuality().skipHiddenWater && !game.waterTiles.empty();
    if (counting) glBeginQuery(GL_ANY_SAMPLES_PASSED, waterQuery);
    for (const auto& tile : game.waterTiles) {
        tile->advance(dt);
        glUseProgram(tile->programId);
        const auto& mesh = *tile->meshes.front();
        game.renderer->prepareTerrain(mesh, *waterShader);
        game.renderer->renderWater(mesh, tile->textures[0], tile->textures[1], tile->textures[2], tile->textures[3],
                                   tile->textures[4], tile->moveFactor);
        glBindVertexArray(0);
    }
    if (counting) glEndQuery(GL_ANY_SAMPLES_PASSED);
    waterQueried = counting;
}

void ScenePasses::renderFountains(float dt, bool running) {
    const Camera& camera = *game.camera;
    // Near fountains in view flow and are drawn; spent ones are skipped before any distance test.
    for (const auto& healer : game.itemManager->getFountains()) {
        // The fountain hook may hand out other healers; only liquid fountains flow and are drawn.
        auto* fountain = dynamic_cast<Liquid*>(healer.get());
        if (!fountain || !fountain->isDue(camera.position, camera.frustum, culledObjectCount)) continue;
        if (running)
            fountain->simulate(dt);
        else
            fountain->refreshSurface();
        game.renderer->renderFluid(*fountain->surfaceMesh, fountain->getModelMatrix(), fountain->dimensions);
    }
}

void ScenePasses::loadTerrainLights() {
    if (game.sun) addLight(*game.terrain->shader, *game.sun, 0);
    if (game.lamp) addLight(*game.terrain->shader, *game.lamp, 1);
}

void ScenePasses::useWaterVariant() {
    auto waterShader = WaterShader::getInstance();
    // A rebuilt program starts without lights, even where the driver gave it the old one's name.
    bool rebuilt = false;
    for (const auto& tile : game.waterTiles)
        rebuilt = tile->useShaderVariant(game.graphicsQuality().waterShaderDefines()) || rebuilt;
    if (!rebuilt) return;
    if (game.sun) addLight(*waterShader, *game.sun, 0);
    if (game.lamp) addLight(*waterShader, *game.lamp, 1);
}

void ScenePasses::sizeTargets() {
    const GraphicsQuality& quality = game.graphicsQuality();
    const int width = game.windowWidth(), height = game.windowHeight();
    auto& frameBuffers = game.waterFrameBuffers;
    game.sceneTarget->resize(width, height, quality.sceneScale(width, height), quality.samples, quality.smoothUpscale);
    if (quality.waterImageScale > 0.0f) {
        const int refractionWidth = SceneTarget::scaled(game.sceneTarget->width(), quality.waterImageScale);
        const int refractionHeight = SceneTarget::scaled(game.sceneTarget->height(), quality.waterImageScale);
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
    for (const auto& tile : game.waterTiles) {
        tile->textures[0] = frameBuffers->reflectionTexture;
        tile->textures[1] = frameBuffers->refractionTexture;
        tile->textures[4] = frameBuffers->refractionDepthTexture;
    }
    waterQueried = false;  // new images are drawn whatever was seen
}

void ScenePasses::applyShadowAndTerrainQuality() {
    const GraphicsQuality& quality = game.graphicsQuality();
    const int size = quality.shadowMapSize;
    ShadowMaster& shadowMaster = *game.shadowMaster;
    if (game.shadowFrameBuffer->width != size) {
        game.shadowFrameBuffer =
            std::make_shared<ShadowFrameBuffer>(size, size, game.windowWidth(), game.windowHeight());
        shadowMaster.frameBuffer = game.shadowFrameBuffer;
    }
    game.renderer->shadowMapTexture = game.shadowFrameBuffer->depthTexture;
    game.renderer->shadowMapSize = game.shadowFrameBuffer->width;
    shadowMaster.shadowBox->mapSize = static_cast<float>(size);
    shadowMaster.boxStep =
        static_cast<float>(quality.shadowBoxStep) * 2.0f * ShadowBox::halfExtent / static_cast<float>(size);
    shadowMaster.cacheTerrain = quality.shadowBoxStep > 0 && quality.terrainChunks;
    if (!game.terrain) return;
    AdvancedTerrain& terrain = *game.terrain;
    if (terrain.useShaderVariant(quality.terrainShaderDefines())) loadTerrainLights();
    terrain.useTextureHalvings(quality.terrainTextureHalvings);
    glBindTexture(GL_TEXTURE_2D_ARRAY, terrain.terrainTexture);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER,
                    quality.terrainMipBlend ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST);
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
}
