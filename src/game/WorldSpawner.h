#pragma once

#include <glm/glm.hpp>

#include <memory>

class AdvancedTerrain;
class EnemyManager;
class Game;
class ItemManager;
class btDynamicsWorld;

// Fills the game's world with what each world has of its own: the player put at the start, the
// diamond clusters with their fountains and the enemy groups; and clears the old world's for a new
// one. The game owns it and outlives it.
class WorldSpawner {
public:
    explicit WorldSpawner(Game& game) : game(game) {}

    // The item and enemy managers, with the hooks through which they reach the game (meshes to draw,
    // enemy shots to fire).
    void createManagers();
    // Scatters the diamond clusters with their fountains and the enemy groups over the landscape, and
    // one of each around the player; registers their meshes and adds their bodies to the world.
    void spawn();
    // The scattering of spawn: six clusters of diamonds around a fountain, each with an enemy group,
    // at random points of the inner map, then one cluster and one group around `playerPosition`. The
    // draws continue the random sequence where it stands, so every cluster lands somewhere of its own.
    static void scatter(ItemManager& items, EnemyManager& enemies, btDynamicsWorld* world,
                        const std::shared_ptr<AdvancedTerrain>& terrain, const glm::vec3& playerPosition);
    // The old world out and a new one in (the world's seed already drawn): batches, objects, landscape,
    // enemies, items, shots and grass anew, the player back at the start, then spawn.
    void newWorld();
    // The player at rest on the ground below the start point.
    void placePlayer();
    // The player's meshes into the batches, by texture.
    void registerPlayerMeshes();

private:
    Game& game;
};
