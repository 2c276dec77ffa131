#pragma once

#include <glm/glm.hpp>

#include <memory>

class AdvancedTerrain;
class EnemyManager;
class ItemManager;
class Random;
class btDynamicsWorld;

// Where a world's diamonds, fountains and rabbits go.
class WorldSpawner {
public:
    // Six clusters of diamonds around a fountain, each with an enemy group, at random points of the
    // inner map, then one cluster around `playerPosition` and one group around `openingGroup` (the
    // player's position but at the easiest difficulty). The draws continue `random`'s
    // sequence where it stands, so every cluster lands somewhere of its own. The managers make the
    // objects; their bodies and meshes are the caller's to add.
    static void scatter(ItemManager& items, EnemyManager& enemies, btDynamicsWorld* world,
                        const std::shared_ptr<AdvancedTerrain>& terrain, const glm::vec3& playerPosition,
                        const glm::vec3& openingGroup, Random& random);
};
