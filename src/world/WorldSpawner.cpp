#include "world/WorldSpawner.h"

#include "entities/EnemyManager.h"
#include "entities/ItemManager.h"
#include "scene/Random.h"
#include "terrain/AdvancedTerrain.h"

void WorldSpawner::scatter(ItemManager& items, EnemyManager& enemies, btDynamicsWorld* world,
                           const std::shared_ptr<AdvancedTerrain>& terrain, const glm::vec3& playerPosition,
                           const glm::vec3& openingGroup, Random& random) {
    auto draw = [&random](float scale) { return scale * static_cast<float>(random.draw()) / 32767.0f; };
    auto clusterSize = [&draw] { return 5 + static_cast<int>(draw(15.0f)); };
    for (int cluster = 0; cluster < 6; ++cluster) {
        const float x = 100.0f + draw(600.0f);
        const float z = 100.0f + draw(600.0f);
        items.spawn(clusterSize(), glm::vec3(x, 0.0f, z), world, terrain, random);
        const int flying = static_cast<int>(draw(5.0f));
        const int rabbits = clusterSize();
        enemies.spawn(rabbits, flying, glm::vec3(x, 0.0f, z), world, terrain, random);
    }
    items.spawn(clusterSize(), playerPosition + glm::vec3(1.0f, 0.0f, 1.0f), world, terrain, random);
    enemies.spawn(5, 2, openingGroup, world, terrain, random);
}
