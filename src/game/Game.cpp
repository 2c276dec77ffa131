#include "game/Game.h"

#include "app/Globals.h"
#include "app/Settings.h"
#include "entities/EnemyManager.h"
#include "entities/Item.h"
#include "entities/ItemManager.h"
#include "entities/Player.h"
#include "entities/Projectile.h"
#include "game/CollisionRules.h"
#include "game/GameStateManager.h"
#include "game/ObjectTags.h"
#include "game/Random.h"
#include "game/ScoreBook.h"
#include "effects/BulletDebugDrawer.h"
#include "effects/GuiObject.h"
#include "effects/Hud.h"
#include "effects/ParticleShader.h"
#include "effects/ParticleSystem.h"
#include "effects/ParticleTexture.h"
#include "effects/SkyBox.h"
#include "effects/WaterFrameBuffers.h"
#include "effects/WaterShader.h"
#include "effects/WaterTile.h"
#include "fluid/BlobbyShader.h"
#include "fluid/Liquid.h"
#include "physics/Bodies.h"
#include "physics/RayQueries.h"
#include "render/Camera.h"
#include "render/DirectionalLight.h"
#include "render/GlErrors.h"
#include "render/PointLight.h"
#include "render/GlContextState.h"
#include "render/Renderer.h"
#include "render/SceneTarget.h"
#include "render/ShadowBox.h"
#include "render/ShadowFrameBuffer.h"
#include "render/ShadowMaster.h"
#include "render/TextureLoader.h"
#include "render/TexturedMesh.h"
#include "render/TexturedShader.h"
#include "render/VaoLoader.h"
#include "terrain/AdvancedTerrain.h"
#include "terrain/AdvancedTerrainShader.h"
#include "terrain/GrassScatter.h"

#include <btBulletDynamicsCommon.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unordered_set>

const glm::vec3 Game::kSkyColor(0.46f, 0.56f, 0.64f);
const glm::vec3 Game::kPlayerStart(400.0f, 100.0f, 400.0f);

namespace {

const glm::vec3 kLampOffset(0.0f, 0.7f, 0.0f);
const glm::vec3 kWaterPosition(400.0f, 4.0f, 400.0f);
// The main image's plane when nothing is to be clipped.
const glm::vec4 kNoClip(0.0f, -1.0f, 0.0f, 10000.0f);
// The water shows nothing of the bed where it is 4 units deep along the view (the water program's
// shallows); below this depth under the surface the landscape is hidden from any view above it.
constexpr float kHiddenDepth = 5.0f;
constexpr int kRoundMs = 60000;
// The trail and the lamp both hang 0.7 above the cat.
const glm::vec3 kTrailOffset = kLampOffset;

std::string culledObjectsText() {
    return "Culled objects: " + (cullingEnabled ? std::to_string(culledObjectCount) : std::string("disabled"));
}

}  // namespace

Game::Game(float aspect, int w, int h, ClockMs clockSource, std::function<unsigned int()> seed,
           const GraphicsQuality& level)
    : width(w),
      height(h),
      quality(level),
      clock(std::move(clockSource)),
      worldSeed(seed ? std::move(seed) : freshSeed) {
    gameState = std::make_shared<GameStateManager>();
    camera = std::make_shared<Camera>(aspect, &culledObjectCount);
    camera->setTransform(glm::vec3(0, 2, 0), glm::vec3(0.0f), glm::vec3(1.0f));
    hud = std::make_shared<Hud>(width, height);
    renderer = std::make_shared<Renderer>(camera, DrawSwitches{&cullingEnabled, &settings.brightness});
    renderer->skyColor = kSkyColor;
    sceneTarget = std::make_shared<SceneTarget>();
    sizeTargets();
    shadowFrameBuffer =
        std::make_shared<ShadowFrameBuffer>(quality.shadowMapSize, quality.shadowMapSize, width, height);
    shadowMaster = std::make_shared<ShadowMaster>(camera, renderer, shadowFrameBuffer);
    applyShadowAndTerrainQuality();
    glGenQueries(1, &waterQuery);
    particleShader = std::make_shared<ParticleShader>();
    ParticleSystem::programId() = particleShader->init();

    const float right = static_cast<float>(width), top = static_cast<float>(height);
    hudTexts = {
        {100.0f, 200.0f, 1.0f, gameState->getTimeText()},          {100.0f, 150.0f, 1.0f, gameState->getHealthText()},
        {100.0f, 100.0f, 1.0f, gameState->getScoreText()},         {100.0f, top - 100.0f, 1.0f, ""},
        {right - 450.0f, top - 100.0f, 1.0f, culledObjectsText()},
    };
    hud->setText(hudTexts);
}

Game::~Game() {
    if (waterQuery != 0 && hasCurrentGlContext()) glDeleteQueries(1, &waterQuery);
    // Enemies and shots leave the world before it goes (they may outlive this destructor's deletes).
    if (enemyManager && dynamicsWorld) enemyManager->clear(dynamicsWorld);
    if (itemManager && dynamicsWorld) itemManager->clear(dynamicsWorld);
    if (dynamicsWorld) Projectile::clearLiveProjectiles(dynamicsWorld);
    if (playerParticles) ParticleSystem::remove(playerParticles.get());
    // The world goes first; Bullet detaches the bodies still in it, and their owners free them after.
    delete dynamicsWorld;
    delete debugDrawer;
    delete solver;
    delete broadphase;
    delete dispatcher;
    delete collisionConfiguration;
}

void Game::addObject(const std::shared_ptr<GameObject>& object) {
    objects.push_back(object);
    if (object->rigidBody) dynamicsWorld->addRigidBody(object->rigidBody);
}

void Game::setSounds(std::shared_ptr<SoundEvents> events) {
    sounds = events ? std::move(events) : std::make_shared<SoundEvents>();
    if (player) player->sounds = sounds.get();
}

void Game::addRenderable(int key, const std::shared_ptr<TexturedMesh>& mesh) { renderMap[key].push_back(mesh); }

void Game::registerPlayerMeshes() {
    for (const auto& mesh : player->meshes) addRenderable(static_cast<int>(mesh->material->textureId), mesh);
}

void Game::seedWorld() {
    seed = worldSeed();
    std::srand(seed);
}

void Game::placePlayer() {
    // A new world starts the player at rest: a dash under way or a fall must not carry over.
    player->stop();
    // The player's body stays where the last physics step left it; standing near the start point it
    // would catch the drop ray itself, so it sits out the drop.
    physics::removeFromWorld(player->rigidBody, dynamicsWorld);
    player->setPosition(kPlayerStart);
    player->placeOnGround(dynamicsWorld);
    dynamicsWorld->addRigidBody(player->rigidBody);
}

void Game::init() {
    ParticleSystem::initInstanceBuffer(*renderer);
    Projectile::loadResources();
    collisionConfiguration = new btDefaultCollisionConfiguration();
    dispatcher = new btCollisionDispatcher(collisionConfiguration);
    broadphase = new btDbvtBroadphase();
    solver = new btSequentialImpulseConstraintSolver();
    dynamicsWorld = new btDiscreteDynamicsWorld(dispatcher, broadphase, solver, collisionConfiguration);
    dynamicsWorld->setGravity(btVector3(0, -5, 0));
    debugDrawer = new BulletDebugDrawer(renderer->debugLineProgramId);
    dynamicsWorld->setDebugDrawer(debugDrawer);

    player = std::make_shared<Player>("player_v3.dae");
    player->name = tags::kPlayer;
    player->sounds = sounds.get();
    addObject(player);
    registerPlayerMeshes();

    // The camera rides behind and above the cat from here on.
    camera->parent = player.get();
    player->children.push_back(camera.get());
    camera->setPosition(glm::vec3(0, 2, 5));

    drainGlErrors("OpenGL error after terrain loading: ");

    sun = std::make_shared<DirectionalLight>(glm::vec3(-0.4f, -1.0f, 0.5f), glm::vec3(1.0f));
    shadowMaster->light = sun;
    sun->loadDirectionalLight(BlobbyShader::getInstance()->programId);

    seedWorld();
    terrain = std::make_shared<AdvancedTerrain>(std::function<unsigned int()>(), quality.terrainShaderDefines(),
                                                quality.terrainTextureHalvings);
    applyShadowAndTerrainQuality();  // the level's texture filter
    dynamicsWorld->addRigidBody(terrain->rigidBody);
    grass = std::make_shared<GrassScatter>();
    grass->scatter(renderMap, dynamicsWorld, terrain);

    auto water = std::make_shared<WaterTile>(kWaterPosition);
    water->useShaderVariant(quality.waterShaderDefines());
    water->textures[0] = waterFrameBuffers->reflectionTexture;
    water->textures[1] = waterFrameBuffers->refractionTexture;
    water->textures[4] = waterFrameBuffers->refractionDepthTexture;
    dynamicsWorld->addRigidBody(water->rigidBody);
    waterTiles.push_back(water);

    placePlayer();

    enemyManager = std::make_shared<EnemyManager>();
    itemManager = std::make_shared<ItemManager>();
    itemManager->makeFountain = [](const glm::vec3&) {
        auto fountain = std::make_shared<Liquid>(glm::vec3(1.0f), glm::vec3(0.0f), 6.0f, glm::vec3(0.0f), 10.0f);
        return ItemManager::SpawnedFountain{fountain, fountain->rigidBody};
    };
    enemyManager->hooks.addRenderable = [this](int key, const std::shared_ptr<TexturedMesh>& mesh) {
        addRenderable(key, mesh);
    };
    enemyManager->hooks.fire = [this](const glm::vec3& impulse, const glm::vec3& position, float lifetime,
                                      const std::string& name) { spawnProjectile(impulse, position, lifetime, name); };
    spawn();
    camera->updateFrustum(0.0f);

    lamp = std::make_shared<PointLight>();
    lamp->color = glm::vec3(0.6f, 0.9f, 1.0f);
    lamp->attenuation = glm::vec3(1.0f, 0.01f, 0.1f);
    lamp->position = player->position + kLampOffset;
    auto textured = TexturedShader::getInstance();
    auto waterShader = WaterShader::getInstance();
    loadTerrainLights();
    addLight(*waterShader, *sun, 0);
    addLight(*waterShader, *lamp, 1);
    addLight(*textured, *sun, 0);
    addLight(*textured, *lamp, 1);

    skyBox = std::make_shared<SkyBox>("skybox_test_small.dae", quality.skyFaceHalvings);

    crosshairTexture = loadTexture("cursor_128.png", 128, 128);
    crosshairWhiteTexture = loadTexture("cursor_128_white.png", 128, 128);
    crosshair = std::make_shared<GuiObject>();
    crosshair->texture = crosshairTexture;
    crosshair->scale = glm::vec3(0.03f, 0.05f, 1.0f);
    guiObjects.push_back(crosshair);

    auto sparkle = std::make_shared<ParticleTexture>();
    sparkle->textureId = loadTexture("particle1.png", 128, 128);
    sparkle->numberOfRows = 4;
    playerParticles = std::make_shared<ParticleSystem>(sparkle, 20.0f, glm::vec3(0.1f), 1.0f, glm::vec3(0, -1, 0), 1.0f,
                                                       0.7f, 0.0f, 0.0f);
    playerParticles->setPosition(player->position + kTrailOffset);
    playerParticles->blendDestination = GL_ONE;
    playerParticles->active = true;
    playerParticles->time = 0.0f;
    ParticleSystem::add(playerParticles);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    lastMs = clock();
}

void Game::loadTerrainLights() {
    if (sun) addLight(*terrain->shader, *sun, 0);
    if (lamp) addLight(*terrain->shader, *lamp, 1);
}

void Game::useWaterVariant() {
    auto waterShader = WaterShader::getInstance();
    const GLuint before = waterShader->programId;
    for (const auto& tile : waterTiles) tile->useShaderVariant(quality.waterShaderDefines());
    if (waterShader->programId == before) return;
    if (sun) addLight(*waterShader, *sun, 0);
    if (lamp) addLight(*waterShader, *lamp, 1);
}

void Game::sizeTargets() {
    sceneTarget->resize(width, height, quality.sceneScale(width, height), quality.samples, quality.smoothUpscale);
    if (quality.waterImageScale > 0.0f) {
        const int refractionWidth = SceneTarget::scaled(sceneTarget->width(), quality.waterImageScale);
        const int refractionHeight = SceneTarget::scaled(sceneTarget->height(), quality.waterImageScale);
        // The mirror image keeps a quarter of the refraction image's area, as at the fixed sizes.
        waterFrameBuffers = std::make_shared<WaterFrameBuffers>(
            width, height, refractionWidth / 2, refractionHeight / 2, refractionWidth, refractionHeight);
    } else if (!waterFrameBuffers || waterFrameBuffers->refractionWidth != WaterFrameBuffers::kRefractionWidth ||
               waterFrameBuffers->refractionHeight != WaterFrameBuffers::kRefractionHeight) {
        waterFrameBuffers = std::make_shared<WaterFrameBuffers>(width, height);
    } else {
        waterFrameBuffers->windowWidth = static_cast<GLuint>(width);
        waterFrameBuffers->windowHeight = static_cast<GLuint>(height);
    }
    for (const auto& tile : waterTiles) {
        tile->textures[0] = waterFrameBuffers->reflectionTexture;
        tile->textures[1] = waterFrameBuffers->refractionTexture;
        tile->textures[4] = waterFrameBuffers->refractionDepthTexture;
    }
    waterQueried = false;  // new images are drawn whatever was seen
}

void Game::applyShadowAndTerrainQuality() {
    const int size = quality.shadowMapSize;
    if (shadowFrameBuffer->width != size) {
        shadowFrameBuffer = std::make_shared<ShadowFrameBuffer>(size, size, width, height);
        shadowMaster->frameBuffer = shadowFrameBuffer;
    }
    renderer->shadowMapTexture = shadowFrameBuffer->depthTexture;
    renderer->shadowMapSize = shadowFrameBuffer->width;
    shadowMaster->shadowBox->mapSize = static_cast<float>(size);
    shadowMaster->boxStep =
        static_cast<float>(quality.shadowBoxStep) * 2.0f * ShadowBox::halfExtent / static_cast<float>(size);
    shadowMaster->cacheTerrain = quality.shadowBoxStep > 0 && quality.terrainChunks;
    if (!terrain) return;
    const GLuint before = terrain->programId;
    terrain->useShaderVariant(quality.terrainShaderDefines());
    if (terrain->programId != before) loadTerrainLights();
    terrain->useTextureHalvings(quality.terrainTextureHalvings);
    glBindTexture(GL_TEXTURE_2D_ARRAY, terrain->terrainTexture);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER,
                    quality.terrainMipBlend ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST);
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
}

void Game::setQuality(const GraphicsQuality& level) {
    quality = level;
    sizeTargets();
    applyShadowAndTerrainQuality();
    if (skyBox) skyBox->useFaceHalvings(quality.skyFaceHalvings);
    useWaterVariant();
}

void Game::resize(int w, int h) {
    if (w <= 0 || h <= 0 || (w == width && h == height)) return;
    // The cursor offsets count from the window's centre, which moves with its size, and the windowing
    // system may move the hidden cursor as well: the next frames take their offsets as the new rest
    // position, so that resizing turns nothing.
    cursorSettleFrames = 2;
    width = w;
    height = h;
    camera->aspectRatio = static_cast<float>(w) / static_cast<float>(h);
    camera->computeLocalFrustum(0.0f);
    hud->resize(w, h);
    layoutHudRows();
    lookOffset = glm::clamp(lookOffset, -glm::vec2(static_cast<float>(w / 2), static_cast<float>(h / 2)),
                            glm::vec2(static_cast<float>(w / 2), static_cast<float>(h / 2)));
    shadowFrameBuffer->windowWidth = w;
    shadowFrameBuffer->windowHeight = h;
    sizeTargets();
    glViewport(0, 0, w, h);
}

void Game::layoutHudRows() {
    const float right = static_cast<float>(width), top = static_cast<float>(height);
    hudTexts[3].x = 100.0f;
    hudTexts[3].y = top - 100.0f;
    hudTexts[4].x = right - 450.0f;
    hudTexts[4].y = top - 100.0f;
    if (hudTexts.size() < 7) return;
    hudTexts[5].x = static_cast<float>(width / 2 - 240);
    hudTexts[5].y = static_cast<float>(height / 2 - 30);
    hudTexts[6].x = static_cast<float>(width / 2 - 280);
    hudTexts[6].y = static_cast<float>(height / 2 - 100);
    if (hudTexts.size() > 7) hudTexts[7] = centredRow(hudTexts[7].text, height / 2 - 160, hudTexts[7].scale);
}

void Game::updateHudRows() {
    if (!gameOver) {
        if (gameState->health <= 0.0f || gameState->timeLeft == 0) {
            hudTexts.push_back({0.0f, 0.0f, 3.0f, gameState->getScoreText()});
            hudTexts.push_back({0.0f, 0.0f, 1.5f, "Press R to start over"});
            if (scoreBook) hudTexts.push_back(recordRound());
            layoutHudRows();
            gameOver = true;
            sounds->onRoundOver(gameState->health <= 0.0f);
        }
        hudTexts[0].text = gameState->getTimeText();
        hudTexts[1].text = gameState->getHealthText();
        hudTexts[2].text = gameState->getScoreText();
    }
    hudTexts[3].text = showDiagnostics ? std::to_string(fps) + "fps" : "";
}

HudText Game::centredRow(const std::string& text, int y, float scale) const {
    return {static_cast<float>(width / 2) - hud->textWidth(text, scale) / 2.0f, static_cast<float>(y), scale, text};
}

HudText Game::recordRound() {
    const int seconds = (kRoundMs - gameState->timeLeft + 500) / 1000;
    const bool beaten = scoreBook->record(gameState->score, seconds);
    return centredRow(beaten ? "New best score!" : "Best score: " + std::to_string(scoreBook->best()), height / 2 - 160,
                      1.0f);
}

std::vector<HudText> Game::visibleRows() const {
    std::vector<HudText> rows = hudTexts;
    if (pause.paused()) {
        // Above the game-over rows, which stand around the middle.
        rows.push_back(centredRow("Paused", height * 3 / 4, 2.0f));
        rows.push_back(centredRow("Press P to play on", height * 3 / 4 - 50, 1.0f));
    }
    return rows;
}

void Game::updateCulledRow() { hudTexts[4].text = showDiagnostics ? culledObjectsText() : ""; }

float Game::advanceClock(bool running) {
    nowMs = clock();
    // A wall clock set back (by hand or by time synchronisation) gives a negative difference; that
    // frame simply takes no time instead of running the timer and the physics backwards.
    const int32_t elapsed = std::max(elapsedMs(nowMs, lastMs), 0);
    if (elapsed > 0) fps = static_cast<int>(std::lround(1000.0 / elapsed));
    lastMs = nowMs;
    // Each paused frame moves lastMs on, so the first frame after a pause is an ordinary one.
    if (!running) return 0.0f;
    gameState->timeLeft = std::max(gameState->timeLeft - elapsed, 0);
    return static_cast<float>(elapsed) / 1000.0f;
}

void Game::mouseLook(float cursorDx, float cursorDy, const std::vector<int>& keys) {
    // The disabled cursor starts wherever the pointer was, and a resize may move it: that is a
    // starting point, not a move.
    if (!cursorSeen || cursorSettleFrames > 0) {
        cursorSettleFrames = std::max(cursorSettleFrames - 1, 0);
        prevCursorDx = cursorDx;
        prevCursorDy = cursorDy;
        cursorSeen = true;
    }
    const float ddx = cursorDx - prevCursorDx;
    const float ddy = cursorDy - prevCursorDy;
    if (keys.size() > 5 && keys[5]) {
        player->rotateAround(player->position, glm::vec3(0.0f, -ddx * 0.005f, 0.0f));
        lookOffset = glm::vec2(0.0f);
    } else {
        lookOffset.x = std::clamp(lookOffset.x + ddx, -static_cast<float>(width / 2), static_cast<float>(width / 2));
        lookOffset.y = std::clamp(lookOffset.y - ddy, -static_cast<float>(height / 2), static_cast<float>(height / 2));
    }
    const float pitch = camera->rotation.x;
    const float target = std::clamp(pitch - ddy * camera->mouseSensitivity, -1.0f, 0.8f);
    camera->rotateAround(player->position, glm::vec3(target - pitch, 0.0f, 0.0f));
    prevCursorDx = cursorDx;
    prevCursorDy = cursorDy;
}

void Game::moveLamp() {
    if (lampFrozen) return;
    lamp->position = player->position + kLampOffset;
    addLight(*terrain->shader, *lamp, 1);
    addLight(*TexturedShader::getInstance(), *lamp, 1);
    addLight(*WaterShader::getInstance(), *lamp, 1);
}

glm::vec3 Game::computeAimPoint(float lookX, float lookY) {
    const float nx = 2.0f * lookX / static_cast<float>(width);
    const float ny = 2.0f * lookY / static_cast<float>(height);
    const glm::mat4 inverse = glm::inverse(camera->getProjectionMatrix() * camera->getViewMatrix());
    glm::vec4 nearPoint = inverse * glm::vec4(nx, ny, -1.0f, 1.0f);
    nearPoint /= nearPoint.w;
    const glm::vec3 from = camera->position;
    const glm::vec3 direction = glm::normalize(glm::vec3(nearPoint) - from);
    const glm::vec3 to = from + direction * 200.0f;

    const physics::RayHit hit = physics::closestHit(dynamicsWorld, physics::toBullet(from), physics::toBullet(to));
    if (!hit.hit) {
        crosshair->texture = crosshairTexture;
        return to;
    }
    crosshair->texture = hit.owner && hit.owner->name == tags::kTerrain ? crosshairWhiteTexture : crosshairTexture;
    return hit.position();
}

void Game::spawnProjectile(const glm::vec3& impulse, const glm::vec3& position, float lifetime,
                           const std::string& name) {
    sounds->onShot(name == tags::kPlayerProjectile, position);
    // The shot's body joins the world as it is made, so it goes straight into the object list.
    objects.push_back(Projectile::spawn(
        dynamicsWorld, [this](int key, const std::shared_ptr<TexturedMesh>& mesh) { addRenderable(key, mesh); },
        impulse, position, lifetime, name));
}

void Game::releaseSpentShots() {
    const std::vector<std::shared_ptr<Projectile>> spent = Projectile::releaseSpent(dynamicsWorld);
    if (spent.empty()) return;
    std::unordered_set<const SceneObject*> gone;
    for (const auto& shot : spent) gone.insert(shot.get());
    objects.remove_if([&gone](const std::shared_ptr<GameObject>& object) { return gone.count(object.get()) > 0; });
    auto batch = renderMap.find(static_cast<int>(Projectile::projectileTexture));
    if (batch == renderMap.end()) return;
    batch->second.remove_if(
        [&gone](const std::shared_ptr<TexturedMesh>& mesh) { return gone.count(mesh->parent) > 0; });
    if (batch->second.empty()) renderMap.erase(batch);
}

void Game::handleCollisions() { CollisionRules::apply(dispatcher, dynamicsWorld, *gameState, sounds.get()); }

void Game::scatter(ItemManager& items, EnemyManager& enemies, btDynamicsWorld* world,
                   const std::shared_ptr<AdvancedTerrain>& terrain, const glm::vec3& playerPosition) {
    auto draw = [](float scale) { return scale * static_cast<float>(randomDraw()) / 32767.0f; };
    auto clusterSize = [&draw] { return 5 + static_cast<int>(draw(15.0f)); };
    for (int cluster = 0; cluster < 6; ++cluster) {
        const float x = 100.0f + draw(600.0f);
        const float z = 100.0f + draw(600.0f);
        items.spawn(clusterSize(), glm::vec3(x, 0.0f, z), world, terrain);
        const int flying = static_cast<int>(draw(5.0f));
        const int rabbits = clusterSize();
        enemies.spawn(rabbits, flying, glm::vec3(x, 0.0f, z), world, terrain);
    }
    items.spawn(clusterSize(), playerPosition + glm::vec3(1.0f, 0.0f, 1.0f), world, terrain);
    enemies.spawn(5, 2, playerPosition, world, terrain);
}

void Game::spawn() {
    scatter(*itemManager, *enemyManager, dynamicsWorld, terrain, player->position);

    // Diamonds hang where they were placed.
    for (const auto& item : itemManager->getItems()) {
        addRenderable(static_cast<int>(itemManager->itemTexture), item->meshes.front());
        addObject(item);
        item->rigidBody->setGravity(btVector3(0, 0, 0));
    }
    itemManager->addFountainsToWorld(dynamicsWorld);
}

void Game::renderFountains(float dt, bool running) {
    // Near fountains in view flow and are drawn; spent ones are skipped before any distance test.
    for (const auto& healer : itemManager->getFountains()) {
        // The fountain hook may hand out other healers; only liquid fountains flow and are drawn.
        auto* fountain = dynamic_cast<Liquid*>(healer.get());
        if (!fountain || !fountain->isDue(camera->position, camera->frustum, culledObjectCount)) continue;
        if (running)
            fountain->simulate(dt);
        else
            fountain->refreshSurface();
        renderer->renderFluid(*fountain->surfaceMesh, fountain->getModelMatrix(), fountain->dimensions);
    }
}

void Game::renderShadows() {
    if (quality.terrainChunks) {
        // The landscape first: its depth may come from the last frames' (see renderTerrainChunks).
        shadowMaster->beginPass(false);
        shadowMaster->renderTerrainChunks(terrain->chunks);
        renderer->renderShadowMap(renderMap, *sun, shadowMaster->shadowBox->projectionMatrix, 1000.0f);
    } else {
        shadowMaster->render();
        renderer->renderShadowMap(renderMap, *sun, shadowMaster->shadowBox->projectionMatrix, 1000.0f);
        shadowMaster->renderTerrain(*terrain->mesh);
    }
    shadowMaster->endPass();
    shadowMaster->loadShadowUniforms(*terrain->shader);
}

bool Game::waterHiddenLastFrame() {
    if (!waterQueried) return false;
    GLuint anyDrawn = 1;
    glGetQueryObjectuiv(waterQuery, GL_QUERY_RESULT, &anyDrawn);
    return anyDrawn == 0;
}

glm::vec4 Game::mainClipPlane() const {
    if (!quality.clipUnderWater || waterTiles.empty()) return kNoClip;
    const float h = waterTiles.front()->position.y;
    // From below the surface the lake bed is in plain view.
    if (camera->position.y <= h) return kNoClip;
    return glm::vec4(0.0f, 1.0f, 0.0f, -(h - kHiddenDepth));
}

void Game::renderWaterImages(float dt) {
    // With culling off every tile gets its images, as with the frustum test.
    if (quality.skipHiddenWater && cullingEnabled && waterHiddenLastFrame()) return;
    for (const auto& tile : waterTiles) {
        if (!camera->isInFrustum(tile->worldCorners()) && cullingEnabled) continue;
        glEnable(GL_CLIP_DISTANCE0);
        const float h = tile->position.y;

        // The mirror image: the camera as far below the water line as it is above, looking up as
        // much as it looked down.
        waterFrameBuffers->bindReflectionFrameBuffer();
        const glm::vec3 saved = camera->position;
        const float distance = 2.0f * (saved.y - h);
        camera->setPosition(glm::vec3(saved.x, saved.y - distance, saved.z));
        camera->setRotation(glm::vec3(-camera->rotation.x, camera->rotation.y, camera->rotation.z));
        renderScene(dt, glm::vec4(0.0f, 1.0f, 0.0f, -h + 0.2f), 50.0f);
        camera->setRotation(glm::vec3(-camera->rotation.x, camera->rotation.y, camera->rotation.z));
        camera->setPosition(saved);

        waterFrameBuffers->bindRefractionFrameBuffer();
        renderScene(dt, glm::vec4(0.0f, -1.0f, 0.0f, h + 0.2f), 50.0f);

        waterFrameBuffers->unbindCurrentFrameBuffer();
        glDisable(GL_CLIP_DISTANCE0);
    }
}

void Game::renderWaterSurfaces(float dt) {
    auto waterShader = WaterShader::getInstance();
    const bool counting = quality.skipHiddenWater && !waterTiles.empty();
    if (counting) glBeginQuery(GL_ANY_SAMPLES_PASSED, waterQuery);
    for (const auto& tile : waterTiles) {
        tile->advance(dt);
        glUseProgram(tile->programId);
        const auto& mesh = *tile->meshes.front();
        renderer->prepareTerrain(mesh, *waterShader);
        renderer->renderWater(mesh, tile->textures[0], tile->textures[1], tile->textures[2], tile->textures[3],
                              tile->textures[4], tile->moveFactor);
        glBindVertexArray(0);
    }
    if (counting) glEndQuery(GL_ANY_SAMPLES_PASSED);
    waterQueried = counting;
}

void Game::renderScene(float dt, const glm::vec4& clipPlane, float maxDistance) {
    drainGlErrors("OpenGL error at start of render scene:");
    if (onScenePass) onScenePass(clipPlane, maxDistance);
    if (quality.skyLast) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    } else {
        skyBox->draw(dt, *camera, renderer->skyColor);  // clears colour and depth first
    }
    renderer->clipPlane = clipPlane;
    if (!renderMap.empty()) renderer->renderEntities(renderMap, maxDistance);

    glUseProgram(terrain->programId);
    glUniform4f(terrain->shader->clipPlaneLocation, clipPlane.x, clipPlane.y, clipPlane.z, clipPlane.w);
    renderer->prepareTerrain(*terrain->mesh, *terrain->shader);
    if (quality.terrainChunks)
        renderer->renderChunks(*terrain->chunks, *terrain->shader, terrain->terrainTexture);
    else
        renderer->renderArray(*terrain->mesh, *terrain->shader, terrain->terrainTexture);
    glBindVertexArray(0);

    if (quality.skyLast) {
        // Only where nothing covers it. The sky is never cut by the water's plane.
        const GLboolean clipping = glIsEnabled(GL_CLIP_DISTANCE0);
        glDisable(GL_CLIP_DISTANCE0);
        skyBox->draw(dt, *camera, renderer->skyColor, false);
        if (clipping) glEnable(GL_CLIP_DISTANCE0);
    }
}

void Game::update(float cursorDx, float cursorDy, const std::vector<int>& keys) {
    const bool running = !pause.paused();
    sounds->setPaused(!running);  // what is playing waits with the game
    const float dt = advanceClock(running);
    updateHudRows();
    hud->setText(visibleRows());
    // The cursor is free while paused; looking starts again from wherever it is on resuming.
    if (running && !pausedLastFrame) {
        mouseLook(cursorDx, cursorDy, keys);
    } else {
        prevCursorDx = cursorDx;
        prevCursorDy = cursorDy;
    }
    pausedLastFrame = !running;
    if (running) player->update(dt, keys, dynamicsWorld);
    playerParticles->setPosition(player->position + kTrailOffset);
    moveLamp();
    aimPoint = computeAimPoint(lookOffset.x, lookOffset.y);
    sounds->followCamera(glm::inverse(camera->getViewMatrix()));
    for (const auto& object : objects) {
        if (object->name != tags::kPlayer && object->visible) object->syncFromBody();
    }
    if (running) {
        enemyManager->update(dt, player->position, dynamicsWorld);
        handleCollisions();
    }

    addLight(*TexturedShader::getInstance(), *sun, 0);
    framePart("shadows");
    renderShadows();
    camera->updateFrustum(0.0f);
    framePart("water images");
    renderWaterImages(dt);
    framePart("scene");
    sceneTarget->bind();
    const glm::vec4 mainPlane = mainClipPlane();
    const bool clipped = mainPlane != kNoClip;
    if (clipped) glEnable(GL_CLIP_DISTANCE0);
    renderScene(dt, mainPlane, 400.0f);
    if (clipped) glDisable(GL_CLIP_DISTANCE0);
    framePart("effects");
    renderWaterSurfaces(dt);
    renderFountains(dt, running);

    if (running) {
        Projectile::updateAll(dt, dynamicsWorld);
        releaseSpentShots();
        ParticleSystem::updateAll(dt, camera->position);
    }
    renderer->renderParticles(ParticleSystem::systemsByTexture(), ParticleSystem::programId(), instanceBuffer());
    // The 3D scene is complete: into the window, where the overlay is drawn at full size.
    framePart("overlay");
    sceneTarget->present();

    crosshair->position = glm::vec3(2.0f * lookOffset.x / static_cast<float>(width),
                                    2.0f * lookOffset.y / static_cast<float>(height), 0.0f);
    renderer->renderGui(guiObjects);

    framePart("physics");
    if (running) dynamicsWorld->stepSimulation(dt, 10, 1.0 / 60.0);
    updateCulledRow();
    if (showHudText && hud->built) hud->draw();
    framePart("end");
}

void Game::framePart(const char* part) {
    if (onFramePart) onFramePart(part);
}

void Game::reset() {
    seedWorld();
    renderMap.clear();
    objects.clear();
    objects.push_back(player);
    terrain->regenerate(dynamicsWorld);
    registerPlayerMeshes();
    enemyManager->clear(dynamicsWorld);
    itemManager->clear(dynamicsWorld);
    Projectile::clearLiveProjectiles(dynamicsWorld);
    // Grass is scattered once the old world's bodies are gone, so no tuft settles on a vanished rabbit.
    grass->scatter(renderMap, dynamicsWorld, terrain);
    camera->updateFrustum(0.0f);
    placePlayer();
    spawn();
    gameState->timeLeft = kRoundMs;
    gameState->health = 1.0f;
    gameState->score = 0;
    if (gameOver) hudTexts.resize(5);
    gameOver = false;
    waterQueried = false;
    sounds->onNewWorld();
#if defined(__GLIBC__)
    // A new world frees tens of megabytes of grid, triangle and collision data; hand them back to the
    // system instead of letting the C library keep them, so resets do not grow the process.
    malloc_trim(0);
#endif
    lastMs = clock();
}
