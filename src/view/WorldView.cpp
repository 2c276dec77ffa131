#include "view/WorldView.h"

#include "effects/BulletDebugDrawer.h"
#include "effects/GuiObject.h"
#include "effects/Hud.h"
#include "effects/ParticleSystem.h"
#include "effects/SkyBox.h"
#include "effects/WaterFrameBuffers.h"
#include "effects/WaterShader.h"
#include "effects/WaterTile.h"
#include "entities/EnemyManager.h"
#include "entities/FlyingRabbit.h"
#include "entities/Player.h"
#include "entities/Rabbit.h"
#include "render/Camera.h"
#include "render/DirectionalLight.h"
#include "render/PointLight.h"
#include "render/SceneTarget.h"
#include "render/ShadowFrameBuffer.h"
#include "render/TextureLoader.h"
#include "render/TexturedMesh.h"
#include "render/TexturedShader.h"
#include "terrain/AdvancedTerrain.h"
#include "terrain/AdvancedTerrainShader.h"
#include "view/Renderer.h"
#include "view/ShadowMaster.h"
#include "world/World.h"

#include <cmath>

namespace {

const glm::vec3 kSkyColor(0.46f, 0.56f, 0.64f);
// Closer than this to the view (from the middle of their bodies), the cat and the rabbits are left out
// of the picture rather than cut open by the near plane.
constexpr float kCatClearance = 1.3f;
const glm::vec3 kCatMiddle(0.0f, 1.0f, 0.0f);
constexpr float kRabbitClearance = 1.6f;
const glm::vec3 kRabbitMiddle(0.0f, 0.5f, 0.0f);

// Hides the shown meshes of `object` when its middle is within `clearance` of `eye`, adding them to
// `hidden`.
void hideIfClose(const GameObject& object, const glm::vec3& middle, float clearance, const glm::vec3& eye,
                 std::vector<TexturedMesh*>& hidden) {
    if (!object.visible || glm::length(object.position + middle - eye) >= clearance) return;
    for (const auto& mesh : object.meshes) {
        if (!mesh->visible) continue;
        mesh->visible = false;
        hidden.push_back(mesh.get());
    }
}

}  // namespace

WorldView::WorldView(const Setup& setup) : brightness(setup.brightness) {
    parts.width = setup.width;
    parts.height = setup.height;
    parts.quality = setup.quality;
    parts.cullingEnabled = setup.cullingEnabled;
    parts.camera = std::make_shared<Camera>(static_cast<float>(setup.width) / static_cast<float>(setup.height),
                                            &parts.culledCount);
    parts.camera->setTransform(glm::vec3(0, 2, 0), glm::vec3(0.0f), glm::vec3(1.0f));
    hud = std::make_shared<Hud>(setup.width, setup.height);
    parts.renderer = std::make_shared<Renderer>(parts.camera, DrawSwitches{setup.cullingEnabled, &brightness});
    parts.renderer->skyColor = kSkyColor;
    parts.sceneTarget = std::make_shared<SceneTarget>();
    passes.sizeTargets(nullptr);
    const int shadowSize = parts.quality.shadowMapSize;
    parts.shadowFrameBuffer = std::make_shared<ShadowFrameBuffer>(shadowSize, shadowSize, setup.width, setup.height);
    parts.shadowMaster = std::make_shared<ShadowMaster>(parts.camera, parts.renderer, parts.shadowFrameBuffer);
    passes.applyShadowAndTerrainQuality(nullptr);
    lines = std::make_unique<BulletDebugDrawer>(parts.renderer->debugLineProgramId);

    parts.sun = std::make_shared<DirectionalLight>(glm::vec3(-0.4f, -1.0f, 0.5f), glm::vec3(1.0f));
    parts.shadowMaster->light = parts.sun;
    parts.lamp = std::make_shared<PointLight>();
    parts.lamp->color = glm::vec3(0.6f, 0.9f, 1.0f);
    parts.lamp->attenuation = glm::vec3(1.0f, 0.01f, 0.1f);
    parts.skyBox = std::make_shared<SkyBox>("skybox_test_small.dae", setup.brightness, parts.quality.skyFaceHalvings);

    crosshairPlainTexture = loadTexture("cursor_128.png", 128, 128);
    crosshairWhiteTexture = loadTexture("cursor_128_white.png", 128, 128);
    crosshairImage = std::make_shared<GuiObject>();
    crosshairImage->texture = crosshairPlainTexture;
    crosshairImage->scale = glm::vec3(0.03f, 0.05f, 1.0f);
    guiObjects.push_back(crosshairImage);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
}

WorldView::~WorldView() = default;

GLuint WorldView::fountainDensityBuffer() const { return parts.renderer->fountainDensity; }

void WorldView::onScenePass(std::function<void(const glm::vec4&, float)> hook) { parts.onScenePass = std::move(hook); }

void WorldView::adopt(const World& world) {
    parts.lamp->position = world.player()->position + World::kTrailOffset;
    passes.applyShadowAndTerrainQuality(&world);
    passes.useWaterVariant(world);
    passes.sizeTargets(&world);
    passes.loadLights(world);
    passes.forgetWaterSeen();
}

void WorldView::worldRestarted(const World& world) {
    parts.lamp->position = world.player()->position + World::kTrailOffset;
    passes.forgetWaterSeen();
}

void WorldView::setQuality(const GraphicsQuality& quality, const World& world) {
    parts.quality = quality;
    passes.sizeTargets(&world);
    passes.applyShadowAndTerrainQuality(&world);
    parts.skyBox->useFaceHalvings(quality.skyFaceHalvings);
    passes.useWaterVariant(world);
}

void WorldView::resize(int width, int height, const World& world) {
    if (width <= 0 || height <= 0 || (width == parts.width && height == parts.height)) return;
    parts.width = width;
    parts.height = height;
    parts.camera->aspectRatio = static_cast<float>(width) / static_cast<float>(height);
    parts.camera->computeLocalFrustum(0.0f);
    hud->resize(width, height);
    parts.shadowFrameBuffer->windowWidth = width;
    parts.shadowFrameBuffer->windowHeight = height;
    passes.sizeTargets(&world);
    glViewport(0, 0, width, height);
}

void WorldView::setFieldOfView(float degrees) {
    parts.camera->fieldOfView = degrees;
    parts.camera->computeLocalFrustum(0.0f);
}

glm::vec3 WorldView::aimDirection(const glm::vec2& lookOffset) const {
    const float nx = 2.0f * lookOffset.x / static_cast<float>(parts.width);
    const float ny = 2.0f * lookOffset.y / static_cast<float>(parts.height);
    glm::vec4 nearPoint = glm::inverse(parts.camera->getProjectionMatrix()) * glm::vec4(nx, ny, -1.0f, 1.0f);
    return glm::normalize(glm::vec3(nearPoint) / nearPoint.w);
}

glm::vec2 WorldView::lookLimit() const {
    return glm::vec2(static_cast<float>(parts.width / 2), static_cast<float>(parts.height / 2));
}

void WorldView::setRows(const std::vector<HudText>& rows, const HudShapes& shapes) { hud->setText(rows, shapes); }

float WorldView::textWidth(const std::string& text, float scale) const { return hud->textWidth(text, scale); }

float WorldView::textAscent() const { return hud->ascent(); }

float WorldView::textDescent() const { return hud->descent(); }

void WorldView::framePart(const char* part) {
    if (onFramePart) onFramePart(part);
}

void WorldView::followEye(const World& world) {
    Camera& camera = *parts.camera;
    camera.position = world.viewpoint();
    camera.rotation = world.eye().rotation;
}

std::vector<TexturedMesh*> WorldView::hideCloseMeshes(const World& world) const {
    std::vector<TexturedMesh*> hidden;
    const glm::vec3 eye = parts.camera->position;
    hideIfClose(*world.player(), kCatMiddle, kCatClearance, eye, hidden);
    for (const auto& rabbit : world.enemies()->rabbits)
        hideIfClose(*rabbit, kRabbitMiddle, kRabbitClearance, eye, hidden);
    for (const auto& flyer : world.enemies()->flyingRabbits)
        hideIfClose(*flyer, kRabbitMiddle, kRabbitClearance, eye, hidden);
    return hidden;
}

void WorldView::moveLamp(const World& world) {
    parts.lamp->position = world.player()->position + World::kTrailOffset;
    addLight(*world.terrain()->shader, *parts.lamp, 1);
    addLight(*parts.renderer->texturedShader, *parts.lamp, 1);
    for (const auto& tile : world.waterTiles()) addLight(*tile->shader, *parts.lamp, 1);
}

void WorldView::draw(const World& world, const Frame& frame) {
    parts.culledCount = 0;
    followEye(world);
    // Shown again once the frame is drawn.
    const std::vector<TexturedMesh*> hidden = hideCloseMeshes(world);
    if (!frame.lampFrozen) moveLamp(world);
    parts.skyBox->rotation = world.skyAngle();
    addLight(*parts.renderer->texturedShader, *parts.sun, 0);

    framePart("fountains");
    parts.camera->updateFrustum(0.0f);
    passes.prepareFountains(world, frame.worldSeconds);
    framePart("shadows");
    passes.renderShadows(world);
    parts.camera->updateFrustum(0.0f);
    framePart("water images");
    passes.renderWaterImages(world);
    framePart("scene");
    passes.renderMainImage(world);
    framePart("effects");
    passes.renderWaterSurfaces(world, frame.worldSeconds);
    passes.renderFountains();
    if (const auto& trail = world.trail()) {
        const ParticleBatches batches{{trail->texture ? trail->texture->textureId : 0, {trail}}};
        // The trail is empty until the cat moves: primed on the first picture, its first particles do
        // not wait for the driver to build its drawing.
        if (frame.firstPicture) parts.renderer->primeParticles(batches);
        parts.renderer->renderParticles(batches);
    }
    framePart("overlay");
    // The 3D scene is complete: into the window, where the overlay is drawn at full size.
    parts.sceneTarget->present();
    crosshairImage->position = glm::vec3(2.0f * frame.lookOffset.x / static_cast<float>(parts.width),
                                         2.0f * frame.lookOffset.y / static_cast<float>(parts.height), 0.0f);
    crosshairImage->texture = crosshairTexture(frame.aimOnTerrain);
    crosshairImage->scale = glm::vec3(frame.crosshairScale, 1.0f);
    if (frame.showCrosshair) parts.renderer->renderGui(guiObjects);
    framePart("hud");
    if (frame.showHud && hud->built) hud->draw();
    for (TexturedMesh* mesh : hidden) mesh->visible = true;
    framePart("end");
}
