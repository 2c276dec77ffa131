#include "world/World.h"

#include "effects/ParticleSystem.h"
#include "effects/ParticleTexture.h"
#include "effects/WaterTile.h"
#include "entities/EnemyManager.h"
#include "entities/Item.h"
#include "entities/Player.h"
#include "entities/Rabbit.h"
#include "entities/ShotList.h"
#include "fluid/Healer.h"
#include "objects/GameObject.h"
#include "physics/Bodies.h"
#include "physics/DynamicsWorld.h"
#include "physics/RayQueries.h"
#include "render/GlErrors.h"
#include "render/Material.h"
#include "render/TextureLoader.h"
#include "render/TexturedMesh.h"
#include "scene/ObjectTags.h"
#include "terrain/AdvancedTerrain.h"
#include "terrain/GrassScatter.h"
#include "world/CollisionRules.h"
#include "world/OpenStart.h"
#include "world/StateHash.h"
#include "world/WorldSpawner.h"

#include <btBulletDynamicsCommon.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <cstdio>
#include <unordered_set>

const glm::vec3 World::kPlayerStart(400.0f, 100.0f, 400.0f);
const glm::vec3 World::kTrailOffset(0.0f, 0.7f, 0.0f);
const glm::vec3 World::kWaterPosition(400.0f, 4.0f, 400.0f);

namespace {

// The eye rides this far behind and above the cat (in the cat's frame, before any pitch).
const glm::vec3 kEyeOffset(0.0f, 2.0f, 5.0f);
// The eye orbits this point above the cat (its height with no pitch), and the view stands off it.
const glm::vec3 kOrbitOffset(0.0f, 2.0f, 0.0f);
// The ball round the near plane (at the widest field of view the settings allow) that the view keeps
// out of the landscape.
constexpr double kViewBallRadius = 0.4;
// Farthest the aim reaches.
constexpr float kAimReach = 200.0f;
// Limits of the eye's pitch, in radians.
constexpr float kLowestPitch = -1.0f;
constexpr float kHighestPitch = 0.8f;

void releaseFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

}  // namespace

World::World(const Start& start, Options worldOptions) : options(std::move(worldOptions)) {
    dynamics = std::make_unique<DynamicsWorld>();
    if (options.debugDrawer) dynamics->get()->setDebugDrawer(options.debugDrawer);
    createLastingParts();
    populate(start);
}

World::~World() { clearWorld(); }

void World::step(const char* name) const {
    if (options.onStep) options.onStep(name);
}

btDynamicsWorld* World::physics() const { return dynamics->get(); }

void World::createLastingParts() {
    cat = std::make_shared<Player>("player_v3.dae");
    cat->events = &tickEvents;
    drainGlErrors("OpenGL error after terrain loading: ");
    grassScatter = std::make_shared<GrassScatter>();
    water.push_back(std::make_shared<WaterTile>(kWaterPosition, options.waterShaderDefines));

    enemyManager = std::make_shared<EnemyManager>();
    enemyManager->hooks.random = &random;
    enemyManager->hooks.addRenderable = [this](int key, const std::shared_ptr<TexturedMesh>& mesh) {
        renderMap[key].push_back(mesh);
    };
    enemyManager->hooks.fire = [this](const glm::vec3& impulse, const glm::vec3& position, float lifetime,
                                      const std::string& name) { fire(impulse, position, lifetime, name); };
    itemManager = std::make_shared<ItemManager>();
    itemManager->makeFountain = options.makeFountain;
    shotList = std::make_unique<ShotList>();

    auto sparkle = std::make_shared<ParticleTexture>();
    sparkle->textureId = loadTexture("particle1.png", 128, 128);
    sparkle->numberOfRows = 4;
    sparkles = std::make_shared<ParticleSystem>(sparkle, 20.0f, glm::vec3(0.1f), 1.0f, glm::vec3(0, -1, 0), 1.0f, 0.7f,
                                                0.0f, 0.0f);
    sparkles->blendDestination = GL_ONE;
    sparkles->active = true;
}

void World::populate(const Start& start) {
    startedFrom = start;
    btDynamicsWorld* world = dynamics->get();
    // One seed makes the whole world: the landscape draws first, then the grass, then the spawning,
    // then the rules of play, always in this order.
    random.reseed(start.seed);
    step("landscape");
    if (landscape) {
        landscape->regenerate(world, random);
    } else {
        landscape = std::make_shared<AdvancedTerrain>(random, options.terrainShaderDefines,
                                                      options.terrainTextureHalvings, options.onLandscape);
        world->addRigidBody(landscape->rigidBody);
    }
    registerPlayerMeshes();
    step("grass");
    grassScatter->scatter(renderMap, world, landscape, random);
    for (const auto& tile : water) world->addRigidBody(tile->rigidBody);
    placePlayer(start.yaw, start.pitch);
    addObject(cat);

    step("spawn");
    const DifficultyRules rules = difficultyRules(start.difficulty);
    enemyManager->fireRate = rules.fireRate;
    enemyManager->sightScale = rules.sightScale;
    const glm::vec3 openingGroup = cat->position + OpenStart::facing(cat->rotation.y) * rules.openingGroupAhead;
    WorldSpawner::scatter(*itemManager, *enemyManager, world, landscape, cat->position, openingGroup, random);
    // Everything that asks the landscape where it may go has been placed.
    landscape->releaseGrid();
    for (const auto& item : itemManager->getItems()) {
        // Diamonds hang where they were placed.
        renderMap[static_cast<int>(itemManager->itemTexture)].push_back(item->meshes.front());
        addObject(item);
        item->rigidBody->setGravity(btVector3(0, 0, 0));
    }
    itemManager->addFountainsToWorld(world);

    sparkles->setPosition(cat->position + kTrailOffset);
    roundState = GameStateManager();
    roundState.timeLeft = start.roundSeconds * 1000;
    tickEvents.clear();
    tickCount = 0;
    roundTicks = 0;
    over = false;
    aimPoint = cat->position;
    previousPoses.clear();
}

void World::restart(const Start& start) {
    clearWorld();
    // The old world's pieces are freed; handed back to the system before the new world's grid and
    // meshes are made, the two worlds never add up at the peak however the heap is cut.
    releaseFreedMemory();
    dynamics = std::make_unique<DynamicsWorld>();
    if (options.debugDrawer) dynamics->get()->setDebugDrawer(options.debugDrawer);
    populate(start);
}

void World::clearWorld() {
    btDynamicsWorld* world = dynamics->get();
    // The meshes drawn point at their objects: the batches go first.
    renderMap.clear();
    bodyObjects.clear();
    if (enemyManager) enemyManager->clear(world);
    if (itemManager) itemManager->clear(world);
    if (shotList) shotList->clear(world);
    if (landscape) physics::removeFromWorld(landscape->rigidBody, world);
    for (const auto& tile : water) physics::removeFromWorld(tile->rigidBody, world);
    if (cat) physics::removeFromWorld(cat->rigidBody, world);
}

void World::registerPlayerMeshes() {
    for (const auto& mesh : cat->meshes) renderMap[static_cast<int>(mesh->material->textureId)].push_back(mesh);
}

void World::addObject(const std::shared_ptr<GameObject>& object) {
    bodyObjects.push_back(object);
    if (object->rigidBody && !object->rigidBody->getBroadphaseHandle())
        dynamics->get()->addRigidBody(object->rigidBody);
}

void World::placePlayer(float yaw, float pitch) {
    Player& player = *cat;
    // The eye is placed on its own below; it must not be carried about by the moves here.
    player.children.erase(std::remove(player.children.begin(), player.children.end(), &eyeObject),
                          player.children.end());
    // Every world starts the cat at rest with a body of its own, however the last one ended.
    player.stop();
    player.renewBody();
    const OpenStart::Place open = OpenStart::find(dynamics->get(), kPlayerStart);
    const float facing = open.yaw + yaw;
    player.setRotation(glm::vec3(0.0f, facing, 0.0f));
    player.setPosition(open.ground + glm::vec3(0.0f, 0.5f, 0.0f));
    player.placeOnGround(dynamics->get());
    player.syncFromBody();
    placeEye(facing, pitch);
}

void World::putCat(const glm::vec3& position, float yaw, float pitch, bool drop) {
    Player& player = *cat;
    btDynamicsWorld* world = dynamics->get();
    player.children.erase(std::remove(player.children.begin(), player.children.end(), &eyeObject),
                          player.children.end());
    player.stop();
    // Its own body must not catch the drop.
    const bool inWorld = player.rigidBody->getBroadphaseHandle() != nullptr;
    physics::removeFromWorld(player.rigidBody, world);
    player.setRotation(glm::vec3(0.0f, yaw, 0.0f));
    player.setPosition(position);
    if (drop) player.placeOnGround(world);
    player.syncFromBody();
    if (inWorld) world->addRigidBody(player.rigidBody);
    placeEye(yaw, pitch);
    previousPoses.clear();
}

void World::placeEye(float yaw, float pitch) {
    // Always the same steps from the same numbers, so the eye of a new world is the same to the bit.
    SceneObject rig;
    eyeObject = SceneObject();
    eyeObject.name = "eye";
    eyeObject.setPosition(kEyeOffset);
    eyeObject.parent = &rig;
    rig.children.push_back(&eyeObject);
    eyeObject.rotateAround(glm::vec3(0.0f), glm::vec3(pitch, 0.0f, 0.0f));
    rig.rotateAround(glm::vec3(0.0f), glm::vec3(0.0f, yaw, 0.0f));
    rig.setPosition(cat->position);
    eyeObject.parent = cat.get();
    cat->children.push_back(&eyeObject);
    boom.settle(clearViewDistance());
}

glm::vec3 World::orbitPoint() const { return cat->position + kOrbitOffset; }

float World::clearViewDistance() const {
    const glm::vec3 from = orbitPoint();
    const float full = glm::length(eyeObject.position - from);
    const double free = physics::sweepSphere(
        dynamics->get(), physics::toBullet(from), physics::toBullet(eyeObject.position), kViewBallRadius,
        [](const SceneObject* owner) { return owner && owner->name == tags::kTerrain; });
    return static_cast<float>(free) * full;
}

glm::vec3 World::viewpoint() const {
    const glm::vec3 from = orbitPoint();
    const glm::vec3 out = eyeObject.position - from;
    const float full = glm::length(out);
    if (!(full > 0.0f)) return from;
    return from + out * (std::min(boom.length(), full) / full);
}

World::AimHit World::aim(const glm::vec3& eyeDirection) const {
    const glm::vec3 from = viewpoint();
    const glm::vec3 along = glm::vec3(eyeObject.getRotationMatrix() * glm::vec4(eyeDirection, 0.0f));
    const float length = glm::length(along);
    AimHit result;
    if (!(length > 0.0f)) {
        result.point = from;
        return result;
    }
    const glm::vec3 to = from + along / length * kAimReach;
    const physics::RayHit hit = physics::closestHit(dynamics->get(), physics::toBullet(from), physics::toBullet(to));
    result.point = hit.hit ? hit.position() : to;
    result.onTerrain = hit.hit && hit.owner && hit.owner->name == tags::kTerrain;
    return result;
}

void World::look(float turn, float pitch) {
    if (turn != 0.0f) cat->rotateAround(cat->position, glm::vec3(0.0f, turn, 0.0f));
    if (pitch == 0.0f) return;
    const float current = eyeObject.rotation.x;
    const float target = std::clamp(current + pitch, kLowestPitch, kHighestPitch);
    eyeObject.rotateAround(cat->position, glm::vec3(target - current, 0.0f, 0.0f));
}

void World::fire(const glm::vec3& impulse, const glm::vec3& position, float lifetime, const std::string& name) {
    const bool byPlayer = name == tags::kPlayerProjectile;
    tickEvents.push_back({byPlayer ? WorldEvent::Kind::PlayerShot : WorldEvent::Kind::EnemyShot, position, position});
    // The shot's body joins the world as it is made, so it goes straight into the object list.
    bodyObjects.push_back(shotList->fire(
        dynamics->get(), [this](int key, const std::shared_ptr<TexturedMesh>& mesh) { renderMap[key].push_back(mesh); },
        impulse, position, lifetime, name));
}

void World::firePlayerShotAt(const glm::vec3& target) {
    const glm::vec3 start = cat->getProjectileSpawnPoint();
    const glm::vec3 towards = target - start;
    if (glm::length(towards) < 1e-6f) return;  // aiming at the muzzle itself gives no direction
    fire(glm::normalize(towards) * cat->projectileSpeed, start, 1.0f, tags::kPlayerProjectile);
}

void World::releaseSpentShots() {
    const std::vector<std::shared_ptr<Projectile>> spent = shotList->releaseSpent(dynamics->get());
    if (spent.empty()) return;
    std::unordered_set<const SceneObject*> gone;
    for (const auto& shot : spent) gone.insert(shot.get());
    bodyObjects.remove_if([&gone](const std::shared_ptr<GameObject>& object) { return gone.count(object.get()) > 0; });
    auto batch = renderMap.find(static_cast<int>(shotList->texture));
    if (batch == renderMap.end()) return;
    batch->second.remove_if(
        [&gone](const std::shared_ptr<TexturedMesh>& mesh) { return gone.count(mesh->parent) > 0; });
    if (batch->second.empty()) renderMap.erase(batch);
}

void World::rememberPoses() {
    previousPoses.clear();
    auto remember = [this](SceneObject* object, const std::shared_ptr<SceneObject>& owner) {
        PoseBlend::Pose pose;
        pose.object = object;
        pose.shared = owner != nullptr;
        pose.owner = owner;
        pose.position = object->position;
        pose.rotation = object->rotation;
        previousPoses.push_back(pose);
    };
    remember(cat.get(), cat);
    remember(&eyeObject, nullptr);
    for (const auto& rabbit : enemyManager->rabbits) remember(rabbit.get(), rabbit);
    for (const auto& flyer : enemyManager->flyingRabbits) remember(flyer.get(), flyer);
    for (const auto& shot : shotList->shots()) remember(shot.get(), shot);
}

PoseBlend World::blend(float alpha) { return PoseBlend(previousPoses, std::clamp(alpha, 0.0f, 1.0f)); }

void World::tick(const TickInput& input) {
    btDynamicsWorld* world = dynamics->get();
    const float dt = kTickSeconds;
    tickEvents.clear();
    rememberPoses();
    ++tickCount;

    look(input.turn, input.pitch);
    aimPoint = aim(input.aim).point;
    if (input.fire) firePlayerShotAt(aimPoint);
    if (input.dash) cat->moveTo(aimPoint, world);
    heldKeys.assign(kPlayerKeyCount, 0);
    for (int key = 0; key < kPlayerKeyCount; ++key) heldKeys[key] = input.held(static_cast<PlayerKey>(key)) ? 1 : 0;
    cat->update(dt, heldKeys, world);
    boom.follow(clearViewDistance(), dt);
    sparkles->setPosition(cat->position + kTrailOffset);

    for (const auto& object : bodyObjects) {
        if (object->name != tags::kPlayer && object->visible) object->syncFromBody();
    }
    enemyManager->update(dt, cat->position, world);
    CollisionRules::apply(dynamics->dispatcher(), world, roundState, tickEvents);
    // Fountains refill on their own schedule, seen or not.
    for (const auto& fountain : itemManager->getFountains()) {
        if (fountain->spawnRate > 0.0f && fountain->visible) fountain->healCooldown -= dt;
    }
    shotList->age(dt, world);
    releaseSpentShots();
    sparkles->update(dt, eyeObject.position);
    sky += dt / 500.0f;

    world->stepSimulation(dt, 1, dt);
    advanceRound();
}

void World::runRoundClockTo(int milliseconds) {
    const int64_t gone = int64_t(startedFrom.roundSeconds) * 1000 - std::max(milliseconds, 0);
    roundTicks = std::max(roundTicks, static_cast<int>((gone * kTicksPerSecond + 999) / 1000));
    setTimeLeft();
}

void World::setTimeLeft() {
    const int64_t elapsedMs = static_cast<int64_t>(roundTicks) * 1000 / kTicksPerSecond;
    roundState.timeLeft =
        static_cast<int32_t>(std::max<int64_t>(int64_t(startedFrom.roundSeconds) * 1000 - elapsedMs, 0));
}

void World::advanceRound() {
    if (over) return;
    ++roundTicks;
    setTimeLeft();
    const bool healthGone = roundState.health <= 0.0f;
    if (!healthGone && roundState.timeLeft > 0) return;
    over = true;
    tickEvents.push_back(
        {healthGone ? WorldEvent::Kind::HealthGone : WorldEvent::Kind::TimeUp, cat->position, cat->position});
}

uint64_t World::stateHash() const {
    StateHash hash;
    hash.add(static_cast<int64_t>(tickCount));
    hash.add(roundState.timeLeft);
    hash.add(roundState.health);
    hash.add(roundState.score);
    hash.add(over ? 1 : 0);
    hash.add(cat->position);
    hash.add(cat->rotation);
    hash.add(eyeObject.position);
    hash.add(eyeObject.rotation);
    hash.add(boom.length());
    const auto addEnemy = [&hash](const Rabbit& enemy) {
        hash.add(enemy.position);
        hash.add(enemy.hitPoints);
        hash.add(enemy.visible ? 1 : 0);
    };
    for (const auto& rabbit : enemyManager->rabbits) addEnemy(*rabbit);
    for (const auto& flyer : enemyManager->flyingRabbits) addEnemy(*flyer);
    for (const auto& shot : shotList->shots()) {
        if (!shot->visible) continue;
        hash.add(shot->position);
        hash.add(shot->age);
    }
    for (const auto& fountain : itemManager->getFountains()) {
        hash.add(fountain->spawnRate);
        hash.add(fountain->healCooldown);
    }
    for (const auto& item : itemManager->getItems()) hash.add(item->visible ? 1 : 0);
    return hash.value();
}

std::string World::hex(uint64_t hash) { return StateHash::hex(hash); }
