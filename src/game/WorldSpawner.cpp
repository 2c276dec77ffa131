#include "game/WorldSpawner.h"

#include "entities/EnemyManager.h"
#include "entities/Item.h"
#include "entities/ItemManager.h"
#include "entities/Player.h"
#include "entities/Projectile.h"
#include "fluid/Liquid.h"
#include "game/Game.h"
#include "scene/Random.h"
#include "physics/Bodies.h"
#include "render/Camera.h"
#include "render/Material.h"
#include "render/TexturedMesh.h"
#include "terrain/AdvancedTerrain.h"
#include "terrain/GrassScatter.h"

#include <btBulletDynamicsCommon.h>

void WorldSpawner::createManagers() {
    game.enemyManager = std::make_shared<EnemyManager>();
    game.itemManager = std::make_shared<ItemManager>();
    game.itemManager->makeFountain = [](const glm::vec3&) {
        auto fountain = std::make_shared<Liquid>(glm::vec3(1.0f), glm::vec3(0.0f), 6.0f, glm::vec3(0.0f), 10.0f);
        return ItemManager::SpawnedFountain{fountain, fountain->rigidBody};
    };
    Game& owner = game;
    game.enemyManager->hooks.addRenderable = [&owner](int key, const std::shared_ptr<TexturedMesh>& mesh) {
        owner.addRenderable(key, mesh);
    };
    game.enemyManager->hooks.fire = [&owner](const glm::vec3& impulse, const glm::vec3& position, float lifetime,
                                             const std::string& name) {
        owner.spawnProjectile(impulse, position, lifetime, name);
    };
}

void WorldSpawner::scatter(ItemManager& items, EnemyManager& enemies, btDynamicsWorld* world,
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

void WorldSpawner::spawn() {
    ItemManager& items = *game.itemManager;
    scatter(items, *game.enemyManager, game.dynamicsWorld, game.terrain, game.player->position);

    // Diamonds hang where they were placed.
    for (const auto& item : items.getItems()) {
        game.addRenderable(static_cast<int>(items.itemTexture), item->meshes.front());
        game.addObject(item);
        item->rigidBody->setGravity(btVector3(0, 0, 0));
    }
    items.addFountainsToWorld(game.dynamicsWorld);
}

void WorldSpawner::newWorld() {
    btDynamicsWorld* world = game.dynamicsWorld;
    game.renderMap.clear();
    game.objects.clear();
    game.objects.push_back(game.player);
    game.terrain->regenerate(world);
    registerPlayerMeshes();
    game.enemyManager->clear(world);
    game.itemManager->clear(world);
    Projectile::clearLiveProjectiles(world);
    // Grass is scattered once the old world's bodies are gone, so no tuft settles on a vanished rabbit.
    game.grass->scatter(game.renderMap, world, game.terrain);
    game.camera->updateFrustum(0.0f);
    placePlayer();
    spawn();
}

void WorldSpawner::placePlayer() {
    Player& player = *game.player;
    btDynamicsWorld* world = game.dynamicsWorld;
    // A new world starts the player at rest: a dash under way or a fall must not carry over.
    player.stop();
    // The player's body stays where the last physics step left it; standing near the start point it
    // would catch the drop ray itself, so it sits out the drop.
    physics::removeFromWorld(player.rigidBody, world);
    player.setPosition(Game::kPlayerStart);
    player.placeOnGround(world);
    world->addRigidBody(player.rigidBody);
}

void WorldSpawner::registerPlayerMeshes() {
    for (const auto& mesh : game.player->meshes) game.addRenderable(static_cast<int>(mesh->material->textureId), mesh);
}
