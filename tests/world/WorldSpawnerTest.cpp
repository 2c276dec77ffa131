#include "world/WorldSpawner.h"

#include "entities/EnemyManager.h"
#include "entities/ItemManager.h"
#include "render/Material.h"
#include "render/TexturedMesh.h"
#include "scene/ObjectTags.h"
#include "scene/Random.h"
#include "support/PhysicsWorld.h"
#include "world/World.h"

#include <gtest/gtest.h>

namespace {

// Six clusters scattered from one seed land on six spots of their own, whatever the seed, and the same
// seed scatters the same world again.
TEST(WorldSpawner, ClustersLandApartAndOneSeedScattersTheSameWorld) {
    testsupport::PhysicsWorld world;
    world.addGround(tags::kTerrain, 0.0f);
    const auto model = [](int parts) {
        std::vector<std::shared_ptr<TexturedMesh>> meshes;
        for (int i = 0; i < parts; ++i) meshes.push_back(std::make_shared<TexturedMesh>());
        return meshes;
    };
    const auto material = std::make_shared<Material>(1);
    const auto scatter = [&](unsigned seed) {
        EnemyManager enemies(model(2), model(3), material, material, material);
        ItemManager items(std::make_shared<TexturedMesh>(), 2);
        std::vector<glm::vec3> spots;  // the fountains' spots, then every rabbit's
        items.makeFountain = [&spots](const glm::vec3& at) {
            EXPECT_LT(spots.size(), 7u);
            spots.push_back(at);
            return ItemManager::SpawnedFountain{};
        };
        Random random(seed);
        WorldSpawner::scatter(items, enemies, world.get(), nullptr, World::kPlayerStart, World::kPlayerStart, random);
        for (const auto& rabbit : enemies.rabbits) spots.push_back(rabbit->position);
        enemies.clear(world.get());
        items.clear(world.get());
        return spots;
    };
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const std::vector<glm::vec3> spots = scatter(seed);
        ASSERT_GE(spots.size(), 7u);
        EXPECT_EQ(glm::vec2(spots[6].x, spots[6].z), glm::vec2(401, 401)) << "six clusters, then the player's";
        for (int a = 0; a < 6; ++a)
            for (int b = a + 1; b < 6; ++b) EXPECT_GT(glm::distance(spots[a], spots[b]), 1.0f) << seed;
    }
    EXPECT_EQ(scatter(7), scatter(7));
}

}  // namespace
