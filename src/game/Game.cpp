#include "game/Game.h"

#include "app/Globals.h"
#include "app/Settings.h"
#include "entities/EnemyManager.h"
#include "entities/ItemManager.h"
#include "entities/Player.h"
#include "entities/Projectile.h"
#include "game/CollisionRules.h"
#include "game/GameStateManager.h"
#include "scene/ObjectTags.h"
#include "scene/Random.h"
#include "game/SceneSetUp.h"
#include "effects/BulletDebugDrawer.h"
#include "effects/GuiObject.h"
#include "effects/Hud.h"
#include "effects/ParticleShader.h"
#include "effects/ParticleSystem.h"
#include "effects/SkyBox.h"
#include "effects/WaterShader.h"
#include "physics/RayQueries.h"
#include "render/Camera.h"
#include "render/DirectionalLight.h"
#include "render/GlErrors.h"
#include "render/PointLight.h"
#include "render/Renderer.h"
#include "render/SceneTarget.h"
#include "render/ShadowFrameBuffer.h"
#include "render/ShadowMaster.h"
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
#include <string>
#include <unordered_set>

const glm::vec3 Game::kSkyColor(0.46f, 0.56f, 0.64f);
const glm::vec3 Game::kPlayerStart(400.0f, 100.0f, 400.0f);
const glm::vec3 Game::kLampOffset(0.0f, 0.7f, 0.0f);

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
    passes.sizeTargets();
    shadowFrameBuffer =
        std::make_shared<ShadowFrameBuffer>(quality.shadowMapSize, quality.shadowMapSize, width, height);
    shadowMaster = std::make_shared<ShadowMaster>(camera, renderer, shadowFrameBuffer);
    passes.applyShadowAndTerrainQuality();
    particleShader = std::make_shared<ParticleShader>();
    ParticleSystem::programId() = particleShader->init();

    hudTexts = hudRows.firstRows();
    hud->setText(hudTexts);
}

Game::~Game() {
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

void Game::seedWorld() {
    seed = worldSeed();
    std::srand(seed);
}

void Game::init() {
    ParticleSystem::initInstanceBuffer(*renderer);
    Projectile::loadResources();
    createPhysicsWorld();
    createPlayer();
    drainGlErrors("OpenGL error after terrain loading: ");
    SceneSetUp scene(*this);
    scene.createSun();
    createLandscape();
    scene.createWater();
    spawner.placePlayer();
    spawner.createManagers();
    spawn();
    camera->updateFrustum(0.0f);
    scene.createLamp();
    skyBox = std::make_shared<SkyBox>("skybox_test_small.dae", quality.skyFaceHalvings);
    scene.createCrosshair();
    scene.createTrail();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    lastMs = clock();
}

void Game::createPhysicsWorld() {
    collisionConfiguration = new btDefaultCollisionConfiguration();
    dispatcher = new btCollisionDispatcher(collisionConfiguration);
    broadphase = new btDbvtBroadphase();
    solver = new btSequentialImpulseConstraintSolver();
    dynamicsWorld = new btDiscreteDynamicsWorld(dispatcher, broadphase, solver, collisionConfiguration);
    dynamicsWorld->setGravity(btVector3(0, -5, 0));
    debugDrawer = new BulletDebugDrawer(renderer->debugLineProgramId);
    dynamicsWorld->setDebugDrawer(debugDrawer);
}

void Game::createPlayer() {
    player = std::make_shared<Player>("player_v3.dae");
    player->name = tags::kPlayer;
    player->sounds = sounds.get();
    addObject(player);
    spawner.registerPlayerMeshes();

    // The camera rides behind and above the cat from here on.
    camera->parent = player.get();
    player->children.push_back(camera.get());
    camera->setPosition(glm::vec3(0, 2, 5));
}

void Game::createLandscape() {
    seedWorld();
    terrain = std::make_shared<AdvancedTerrain>(std::function<unsigned int()>(), quality.terrainShaderDefines(),
                                                quality.terrainTextureHalvings);
    passes.applyShadowAndTerrainQuality();  // the level's texture filter
    dynamicsWorld->addRigidBody(terrain->rigidBody);
    grass = std::make_shared<GrassScatter>();
    grass->scatter(renderMap, dynamicsWorld, terrain);
}

void Game::setQuality(const GraphicsQuality& level) {
    quality = level;
    passes.sizeTargets();
    passes.applyShadowAndTerrainQuality();
    if (skyBox) skyBox->useFaceHalvings(quality.skyFaceHalvings);
    passes.useWaterVariant();
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
    hudRows.layout();
    lookOffset = glm::clamp(lookOffset, -glm::vec2(static_cast<float>(w / 2), static_cast<float>(h / 2)),
                            glm::vec2(static_cast<float>(w / 2), static_cast<float>(h / 2)));
    shadowFrameBuffer->windowWidth = w;
    shadowFrameBuffer->windowHeight = h;
    passes.sizeTargets();
    glViewport(0, 0, w, h);
}

std::vector<HudText> Game::visibleRows() const { return hudRows.visibleRows(); }

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
    if (cursorSettleFrames > 0) {
        --cursorSettleFrames;
        prevCursorDx = cursorDx;
        prevCursorDy = cursorDy;
    }
    const float ddx = cursorDx - prevCursorDx;
    const float ddy = cursorDy - prevCursorDy;
    if (keys.size() > kKeyLeftShift && keys[kKeyLeftShift]) {
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

void Game::lookAround(float cursorDx, float cursorDy, const std::vector<int>& keys, bool running) {
    // The cursor is free while paused; looking starts again from wherever it is on resuming.
    if (running && !pausedLastFrame) {
        mouseLook(cursorDx, cursorDy, keys);
    } else {
        prevCursorDx = cursorDx;
        prevCursorDy = cursorDy;
    }
    pausedLastFrame = !running;
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

void Game::firePlayerShotAt(const glm::vec3& target) {
    const glm::vec3 start = player->getProjectileSpawnPoint();
    const glm::vec3 towards = target - start;
    if (glm::length(towards) < 1e-6f) return;  // aiming at the muzzle itself gives no direction
    spawnProjectile(glm::normalize(towards) * player->projectileSpeed, start, 1.0f, tags::kPlayerProjectile);
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

void Game::spawn() { spawner.spawn(); }

void Game::renderScene(float dt, const glm::vec4& clipPlane, float maxDistance) {
    passes.renderScene(dt, clipPlane, maxDistance);
}

void Game::update(float cursorDx, float cursorDy, const std::vector<int>& keys) {
    const bool running = !pause.paused();
    sounds->setPaused(!running);  // what is playing waits with the game
    const float dt = advanceClock(running);
    hudRows.update();
    hud->setText(hudRows.visibleRows());
    lookAround(cursorDx, cursorDy, keys, running);
    simulate(dt, keys, running);
    addLight(*TexturedShader::getInstance(), *sun, 0);

    framePart("shadows");
    passes.renderShadows();
    camera->updateFrustum(0.0f);
    framePart("water images");
    passes.renderWaterImages(dt);
    framePart("scene");
    passes.renderMainImage(dt);
    framePart("effects");
    renderEffects(dt, running);
    framePart("overlay");
    renderOverlay();
    framePart("physics");
    if (running) dynamicsWorld->stepSimulation(dt, 10, 1.0 / 60.0);
    hudRows.updateCulledRow();
    if (showHudText && hud->built) hud->draw();
    framePart("end");
}

void Game::simulate(float dt, const std::vector<int>& keys, bool running) {
    if (running) player->update(dt, keys, dynamicsWorld);
    playerParticles->setPosition(player->position + kLampOffset);
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
}

void Game::renderEffects(float dt, bool running) {
    passes.renderWaterSurfaces(dt);
    passes.renderFountains(dt, running);
    if (running) {
        Projectile::updateAll(dt, dynamicsWorld);
        releaseSpentShots();
        ParticleSystem::updateAll(dt, camera->position);
    }
    renderer->renderParticles(ParticleSystem::systemsByTexture(), ParticleSystem::programId(), instanceBuffer());
}

void Game::renderOverlay() {
    // The 3D scene is complete: into the window, where the overlay is drawn at full size.
    sceneTarget->present();
    crosshair->position = glm::vec3(2.0f * lookOffset.x / static_cast<float>(width),
                                    2.0f * lookOffset.y / static_cast<float>(height), 0.0f);
    renderer->renderGui(guiObjects);
}

void Game::framePart(const char* part) {
    if (onFramePart) onFramePart(part);
}

void Game::reset() {
    seedWorld();
    spawner.newWorld();
    gameState->timeLeft = kRoundMs;
    gameState->health = 1.0f;
    gameState->score = 0;
    if (gameOver) hudTexts.resize(5);
    gameOver = false;
    passes.forgetWaterSeen();
    sounds->onNewWorld();
#if defined(__GLIBC__)
    // A new world frees tens of megabytes of grid, triangle and collision data; hand them back to the
    // system instead of letting the C library keep them, so resets do not grow the process.
    malloc_trim(0);
#endif
    lastMs = clock();
}
