#include "game/SceneSetUp.h"

#include "effects/GuiObject.h"
#include "effects/ParticleSystem.h"
#include "effects/ParticleTexture.h"
#include "effects/WaterFrameBuffers.h"
#include "effects/WaterShader.h"
#include "effects/WaterTile.h"
#include "entities/Player.h"
#include "fluid/BlobbyShader.h"
#include "game/Game.h"
#include "render/DirectionalLight.h"
#include "render/PointLight.h"
#include "render/ShadowMaster.h"
#include "render/TextureLoader.h"
#include "render/TexturedShader.h"
#include "terrain/AdvancedTerrain.h"
#include "terrain/AdvancedTerrainShader.h"

#include <btBulletDynamicsCommon.h>

namespace {

const glm::vec3 kWaterPosition(400.0f, 4.0f, 400.0f);

}  // namespace

void SceneSetUp::createSun() {
    game.sun = std::make_shared<DirectionalLight>(glm::vec3(-0.4f, -1.0f, 0.5f), glm::vec3(1.0f));
    game.shadowMaster->light = game.sun;
    game.sun->loadDirectionalLight(BlobbyShader::getInstance()->programId);
}

void SceneSetUp::createWater() {
    const GraphicsQuality& quality = game.graphicsQuality();
    const WaterFrameBuffers& images = *game.waterFrameBuffers;
    auto water = std::make_shared<WaterTile>(kWaterPosition);
    water->useShaderVariant(quality.waterShaderDefines());
    water->textures[0] = images.reflectionTexture;
    water->textures[1] = images.refractionTexture;
    water->textures[4] = images.refractionDepthTexture;
    game.dynamicsWorld->addRigidBody(water->rigidBody);
    game.waterTiles.push_back(water);
}

void SceneSetUp::createLamp() {
    auto& lamp = game.lamp;
    lamp = std::make_shared<PointLight>();
    lamp->color = glm::vec3(0.6f, 0.9f, 1.0f);
    lamp->attenuation = glm::vec3(1.0f, 0.01f, 0.1f);
    lamp->position = game.player->position + Game::kLampOffset;
    auto textured = TexturedShader::getInstance();
    auto waterShader = WaterShader::getInstance();
    addLight(*game.terrain->shader, *game.sun, 0);
    addLight(*game.terrain->shader, *lamp, 1);
    addLight(*waterShader, *game.sun, 0);
    addLight(*waterShader, *lamp, 1);
    addLight(*textured, *game.sun, 0);
    addLight(*textured, *lamp, 1);
}

void SceneSetUp::createCrosshair() {
    game.crosshairTexture = loadTexture("cursor_128.png", 128, 128);
    game.crosshairWhiteTexture = loadTexture("cursor_128_white.png", 128, 128);
    game.crosshair = std::make_shared<GuiObject>();
    game.crosshair->texture = game.crosshairTexture;
    game.crosshair->scale = glm::vec3(0.03f, 0.05f, 1.0f);
    game.guiObjects.push_back(game.crosshair);
}

void SceneSetUp::createTrail() {
    auto sparkle = std::make_shared<ParticleTexture>();
    sparkle->textureId = loadTexture("particle1.png", 128, 128);
    sparkle->numberOfRows = 4;
    auto& trail = game.playerParticles;
    trail = std::make_shared<ParticleSystem>(sparkle, 20.0f, glm::vec3(0.1f), 1.0f, glm::vec3(0, -1, 0), 1.0f, 0.7f,
                                             0.0f, 0.0f);
    trail->setPosition(game.player->position + Game::kLampOffset);  // hanging with the lamp
    trail->blendDestination = GL_ONE;
    trail->active = true;
    trail->time = 0.0f;
    ParticleSystem::add(trail);
}
