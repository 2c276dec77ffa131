#include "entities/Projectile.h"

#include "game/CollisionRules.h"
#include "game/GameEntity.h"
#include "game/GameStateManager.h"
#include "render/Material.h"
#include "render/TexturedMesh.h"
#include "support/GlContext.h"
#include "support/PhysicsWorld.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr double kStep = 1.0 / 60.0;

glm::vec3 velocityOf(const Projectile& shot) {
    const btVector3& v = shot.rigidBody->getLinearVelocity();
    return glm::vec3(v.x(), v.y(), v.z());
}

bool inWorld(const Projectile& shot) { return shot.rigidBody->getBroadphaseHandle() != nullptr; }

// Shots fired into a real world with the game's gravity; whatever is still live is cleared afterwards.
class ProjectileTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        Projectile::loadResources();
    }
    void TearDown() override { Projectile::clearLiveProjectiles(world.get()); }

    std::shared_ptr<Projectile> fire(const glm::vec3& impulse, const glm::vec3& from, float lifetime,
                                     const std::string& name) {
        return Projectile::spawn(world.get(), register_, impulse, from, lifetime, name);
    }
    void flySeconds(int frames) {
        for (int i = 0; i < frames; ++i) world->stepSimulation(kStep, 10, kStep);
    }

    struct Registered {
        int key;
        std::shared_ptr<TexturedMesh> mesh;
    };
    std::vector<Registered> registered;
    Projectile::RegisterMesh register_ = [this](int key, const std::shared_ptr<TexturedMesh>& mesh) {
        registered.push_back({key, mesh});
    };
    testsupport::PhysicsWorld world;
};

TEST_F(ProjectileTest, SharedResourcesLoadOnceAndEveryShotDrawsACopy) {
    const auto mesh = Projectile::projectileMesh;
    ASSERT_NE(mesh, nullptr);
    EXPECT_NE(Projectile::projectileTexture, 0u);
    EXPECT_EQ(mesh->material->textureId, Projectile::projectileTexture);
    EXPECT_FLOAT_EQ(mesh->material->shineDamper, 1.0f);
    EXPECT_FLOAT_EQ(mesh->material->reflectivity, 0.0f);
    EXPECT_NE(mesh->material->programId, 0u);

    auto shot = fire(glm::vec3(0, 0, 6), glm::vec3(0, 5, 0), 1.0f, "player_projectile");
    Projectile::loadResources();  // a second call must neither reload nor drop the live shots
    EXPECT_EQ(Projectile::projectileMesh, mesh);
    ASSERT_EQ(Projectile::projectiles.size(), 1u);
    EXPECT_EQ(Projectile::projectiles.front(), shot);

    ASSERT_EQ(registered.size(), 1u);
    EXPECT_EQ(registered[0].key, static_cast<int>(Projectile::projectileTexture));
    ASSERT_EQ(shot->meshes.size(), 1u);
    EXPECT_EQ(registered[0].mesh, shot->meshes[0]);
    EXPECT_NE(shot->meshes[0], mesh);
    EXPECT_EQ(shot->meshes[0]->vertexArray, mesh->vertexArray);
    EXPECT_EQ(shot->meshes[0]->material, mesh->material);
    EXPECT_EQ(shot->meshes[0]->parent, shot.get());
    EXPECT_EQ(shot->meshes[0]->scale, glm::vec3(0.1f));
}

TEST_F(ProjectileTest, ShotsFlyStraightAtTenTimesTheirImpulse) {
    const glm::vec3 from(100, 40, 100);
    const glm::vec3 dir = glm::normalize(glm::vec3(3, 1, -2));
    auto player = fire(dir * 6.0f, from, 1.0f, "player_projectile");
    auto enemy = fire(glm::vec3(-4, 0, 0), from + glm::vec3(0, 0, 20), 3.0f, "projectile");
    EXPECT_EQ(player->name, "player_projectile");
    EXPECT_EQ(player->position, from);
    EXPECT_FLOAT_EQ(player->lifetime, 1.0f);
    flySeconds(60);
    for (const auto& shot : {player, enemy}) shot->syncFromBody();
    // One second later: 60 and 40 units along the line of fire, no drop under the world's gravity.
    EXPECT_NEAR(glm::length(velocityOf(*player)), 60.0f, 1e-3);
    EXPECT_NEAR(glm::length(velocityOf(*enemy)), 40.0f, 1e-3);
    const glm::vec3 flown = player->position - from;
    EXPECT_NEAR(glm::length(flown), 60.0f, 0.01);
    EXPECT_NEAR(glm::dot(glm::normalize(flown), dir), 1.0f, 1e-5);
    EXPECT_NEAR(enemy->position.x, from.x - 40.0f, 0.01);
    EXPECT_NEAR(enemy->position.y, from.y, 1e-4);
}

TEST_F(ProjectileTest, ShotsExpireAtTheirLifetimeAndStayListed) {
    auto player = fire(glm::vec3(6, 0, 0), glm::vec3(0, 50, 0), 1.0f, "player_projectile");
    auto enemy = fire(glm::vec3(4, 0, 0), glm::vec3(0, 60, 0), 3.0f, "projectile");
    // Frames of 1/8 s add up exactly, so the expiry frame is unambiguous.
    for (int i = 0; i < 7; ++i) Projectile::updateAll(0.125f, world.get());
    EXPECT_TRUE(player->visible);
    Projectile::updateAll(0.125f, world.get());
    EXPECT_FALSE(player->visible);
    EXPECT_FALSE(player->meshes[0]->visible);
    EXPECT_FALSE(inWorld(*player));
    EXPECT_TRUE(enemy->visible);
    for (int i = 0; i < 15; ++i) Projectile::updateAll(0.125f, world.get());
    EXPECT_TRUE(enemy->visible);
    EXPECT_TRUE(inWorld(*enemy));
    Projectile::updateAll(0.125f, world.get());
    EXPECT_FALSE(enemy->visible);
    EXPECT_FALSE(inWorld(*enemy));
    EXPECT_EQ(Projectile::projectiles.size(), 2u);
}

TEST_F(ProjectileTest, HiddenShotsNeitherAgeNorCollide) {
    GameEntity player;
    player.name = "player";
    world.add(player.rigidBody);
    auto shot = fire(glm::vec3(0), glm::vec3(0, 0.3f, 0), 0.5f, "projectile");
    Projectile::updateAll(0.5f, world.get());
    ASSERT_FALSE(shot->visible);
    Projectile::updateAll(0.5f, world.get());
    EXPECT_FLOAT_EQ(shot->age, 0.5f);
    // Still overlapping the player, but out of the world: no hit.
    GameStateManager state;
    world->stepSimulation(kStep, 1, kStep);
    CollisionRules::apply(world->getDispatcher(), world.get(), state);
    EXPECT_FLOAT_EQ(state.health, 1.0f);
    world.remove(player.rigidBody);
}

TEST_F(ProjectileTest, ClearingTakesEveryBodyOutOfTheWorldAndReleasesTheShots) {
    const int before = world->getNumCollisionObjects();
    std::vector<std::weak_ptr<Projectile>> fired;
    for (int i = 0; i < 3; ++i)
        fired.push_back(fire(glm::vec3(0, 0, 6), glm::vec3(10.0f * i, 5, 0), 1.0f, "player_projectile"));
    Projectile::updateAll(1.0f, world.get());                                                   // all spent
    fired.push_back(fire(glm::vec3(0, 0, 6), glm::vec3(0, 5, 50), 1.0f, "player_projectile"));  // in flight
    flySeconds(2);
    Projectile::clearLiveProjectiles(world.get());
    EXPECT_TRUE(Projectile::projectiles.empty());
    EXPECT_EQ(world->getNumCollisionObjects(), before);
    for (const auto& shot : fired) EXPECT_TRUE(shot.expired());
    flySeconds(2);  // the world must not reach any released shot
}

}  // namespace
