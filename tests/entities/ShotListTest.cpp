#include "entities/ShotList.h"

#include "objects/GameEntity.h"
#include "render/TexturedMesh.h"
#include "scene/ObjectTags.h"
#include "support/GlContext.h"
#include "support/PhysicsWorld.h"
#include "world/CollisionRules.h"
#include "world/GameStateManager.h"

#include <gtest/gtest.h>

namespace {

bool inWorld(const Projectile& shot) { return shot.rigidBody->getBroadphaseHandle() != nullptr; }

// Shots fired into a real world with the game's gravity; whatever is still live is cleared afterwards.
class ProjectileTest : public testsupport::GlTest {
protected:
    ~ProjectileTest() override { shots.clear(world.get()); }
    std::shared_ptr<Projectile> fire(const glm::vec3& impulse, const glm::vec3& from, float lifetime) {
        return shots.fire(
            world.get(), [this](int key, const std::shared_ptr<TexturedMesh>& mesh) { drawn[key].push_back(mesh); },
            impulse, from, lifetime, tags::kProjectile);
    }

    std::map<int, std::vector<std::shared_ptr<TexturedMesh>>> drawn;
    testsupport::PhysicsWorld world;
    ShotList shots;
};

TEST_F(ProjectileTest, ShotsDrawACopyOfTheOrbAndFlyStraightAtTenTimesTheirImpulse) {
    const auto orb = shots.mesh;
    const glm::vec3 from(100, 40, 100), direction = glm::normalize(glm::vec3(3, 1, -2));
    auto shot = fire(direction * 6.0f, from, 1.0f);
    const auto& copies = drawn[static_cast<int>(shots.texture)];
    ASSERT_EQ(copies, std::vector<std::shared_ptr<TexturedMesh>>{shot->meshes[0]});
    EXPECT_NE(copies[0], orb);
    EXPECT_EQ(copies[0]->vertexArray, orb->vertexArray);
    EXPECT_EQ(shot->origin, from);
    for (int i = 0; i < 60; ++i) world->stepSimulation(1.0 / 60.0, 10, 1.0 / 60.0);
    shot->syncFromBody();
    // One second later: 60 units along the line of fire, no drop under the world's gravity.
    EXPECT_NEAR(glm::length(shot->position - from), 60.0f, 0.01);
    EXPECT_NEAR(glm::dot(glm::normalize(shot->position - from), direction), 1.0f, 1e-5);
}

TEST_F(ProjectileTest, ShotsExpireAtTheirLifetimeAndSpentOnesNeitherAgeNorHitNorLiveOnAfterAClear) {
    GameEntity player;
    player.name = tags::kPlayer;
    world.add(player.rigidBody);
    auto shot = fire(glm::vec3(0), glm::vec3(0, 0.3f, 0), 1.0f);  // inside the player
    const std::weak_ptr<Projectile> other = fire(glm::vec3(4, 0, 0), glm::vec3(0, 60, 0), 3.0f);
    // Steps of 1/8 s add up exactly, so the expiry step is unambiguous.
    for (int i = 0; i < 7; ++i) shots.age(0.125f, world.get());
    EXPECT_TRUE(shot->visible);
    shots.age(0.125f, world.get());
    EXPECT_FALSE(shot->visible || shot->meshes[0]->visible || inWorld(*shot));
    shots.age(0.125f, world.get());
    EXPECT_EQ(shot->age, 1.0f);
    EXPECT_TRUE(inWorld(*other.lock())) << "the other lives 3 s";
    GameStateManager state;
    WorldEvents events;
    world->stepSimulation(1.0 / 60.0, 1, 1.0 / 60.0);
    CollisionRules::apply(world->getDispatcher(), world.get(), state, events);
    EXPECT_EQ(state.health, 1.0f);
    EXPECT_EQ(shots.shots().size(), 2u) << "spent shots stay listed until released";
    EXPECT_EQ(shots.releaseSpent(world.get()), std::vector<std::shared_ptr<Projectile>>{shot});
    const int bodies = world->getNumCollisionObjects();
    shots.clear(world.get());
    EXPECT_TRUE(shots.shots().empty() && other.expired());
    EXPECT_EQ(world->getNumCollisionObjects(), bodies - 1);
    world.remove(player.rigidBody);
}

}  // namespace
