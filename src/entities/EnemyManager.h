#pragma once

#include "entities/EnemyHooks.h"
#include "entities/FlyingRabbit.h"
#include "entities/Rabbit.h"

#include <glm/glm.hpp>

#include <functional>
#include <memory>
#include <vector>

class AdvancedTerrain;
class Material;
class Random;
class TexturedMesh;
class btDynamicsWorld;

// Owns the enemies and what they share: the two models and the three materials. Scatters enemies
// in groups, updates them every frame and lets go of them at a world reset. Shots and drawing go
// through `hooks`, which the owner fills in after construction.
//
// Enemy bodies are added to the world by spawn; the owner calls clear(world) before releasing the
// manager or the world, so no body in the world outlives its enemy.
class EnemyManager {
public:
    // Occupancy of the landscape at a point (the terrain's isBlocked).
    using BlockedQuery = std::function<bool(float x, float y, float z)>;

    // Loads "rabbit.dae", "flying-rabbit.dae" and the eye, body and carried-gem textures once for all
    // enemies. Needs the current context; the first use of the shared textured program builds it
    // and leaves it current.
    EnemyManager();
    // Uses models and materials made elsewhere (no GL work).
    EnemyManager(std::vector<std::shared_ptr<TexturedMesh>> rabbitModel,
                 std::vector<std::shared_ptr<TexturedMesh>> flyingRabbitModel, std::shared_ptr<Material> eye,
                 std::shared_ptr<Material> body, std::shared_ptr<Material> item);

    EnemyManager(const EnemyManager&) = delete;
    EnemyManager& operator=(const EnemyManager&) = delete;

    // Scatters `rabbitCount` rabbits and `flyingRabbitCount` flying rabbits over a 40 x 40 square
    // around `centre`, 10 to 99 units above it before they are dropped: rabbits land on the ground and
    // never on water, flying rabbits stay at that height. Points where `isBlocked` holds are skipped.
    // Each kind gets at most kAttemptsPerEnemy attempts per requested enemy, so a group over a lake or
    // solid rock ends with fewer (reported on standard error). New bodies join `world` and new meshes
    // go to hooks.addRenderable under their material's texture. The spots are drawn from `random`
    // where its sequence stands.
    void spawn(int rabbitCount, int flyingRabbitCount, const glm::vec3& centre, btDynamicsWorld* world,
               const BlockedQuery& isBlocked, Random& random);
    // The same over the terrain's occupancy; without a terrain nothing is blocked.
    void spawn(int rabbitCount, int flyingRabbitCount, const glm::vec3& centre, btDynamicsWorld* world,
               const std::shared_ptr<AdvancedTerrain>& terrain, Random& random);
    // Rabbits first, then flying rabbits, each in spawn order.
    void update(float dt, const glm::vec3& playerPosition, btDynamicsWorld* world);
    // Takes every enemy body out of `world` (rabbits first) and lets go of all enemies; the models
    // and materials stay. The meshes handed to hooks.addRenderable point at their enemies, so the
    // owner drops them first.
    void clear(btDynamicsWorld* world);

    static constexpr int kAttemptsPerEnemy = 20;

    std::vector<std::shared_ptr<FlyingRabbit>> flyingRabbits;
    std::vector<std::shared_ptr<Rabbit>> rabbits;
    std::vector<std::shared_ptr<TexturedMesh>> rabbitMeshes;
    std::vector<std::shared_ptr<TexturedMesh>> flyingRabbitMeshes;
    std::shared_ptr<Material> eyeMaterial;
    std::shared_ptr<Material> bodyMaterial;
    std::shared_ptr<Material> itemMaterial;
    EnemyHooks hooks;
    // What the enemies spawned from now on are given: their sight range is multiplied by `sightScale`
    // and they fire `fireRate` times as often as usual.
    float sightScale = 1.0f;
    float fireRate = 1.0f;

private:
    // A random spot of the group's square and height range.
    static glm::vec3 drawSpot(const glm::vec3& centre, Random& random);
    void checkModels() const;
    void addToWorld(Rabbit& enemy, btDynamicsWorld* world);
    void spawnRabbits(int count, const glm::vec3& centre, btDynamicsWorld* world, const BlockedQuery& isBlocked,
                      Random& random);
    void spawnFlyingRabbits(int count, const glm::vec3& centre, btDynamicsWorld* world, const BlockedQuery& isBlocked,
                            Random& random);
};
