#include "game/CollisionRules.h"

#include "entities/FlyingRabbit.h"
#include "entities/Projectile.h"
#include "entities/Rabbit.h"
#include "game/GameEntity.h"
#include "game/GameStateManager.h"
#include "game/Healer.h"
#include "support/HeardSounds.h"
#include "support/PhysicsWorld.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

btTransform at(const glm::vec3& p) {
    btTransform t;
    t.setIdentity();
    t.setOrigin(btVector3(p.x, p.y, p.z));
    return t;
}

// Object and body in the same place, so the broadphase sees what the rules read.
void place(GameObject& object, const glm::vec3& p) {
    object.setPosition(p);
    const btTransform t = at(p + object.bodyOffset);
    object.rigidBody->setWorldTransform(t);
    object.rigidBody->setInterpolationWorldTransform(t);
    object.motionState->setWorldTransform(t);
}

// An item as the spawner makes it: a contact-only sphere of radius 1 with one mesh child.
class TestItem : public GameObject {
public:
    TestItem() {
        name = "item";
        collisionShape = new btSphereShape(1.0);
        motionState = new btDefaultMotionState();
        btRigidBody::btRigidBodyConstructionInfo info(0.001, motionState, collisionShape, btVector3(0, 0, 0));
        rigidBody = new btRigidBody(info);
        rigidBody->setCollisionFlags(rigidBody->getCollisionFlags() | btCollisionObject::CF_NO_CONTACT_RESPONSE);
        rigidBody->setUserPointer(static_cast<SceneObject*>(this));
        children.push_back(&mesh);
    }
    SceneObject mesh;
};

// A fountain's trigger box, contact-only, as the heal rule sees it.
class TestFountain : public Healer {
public:
    TestFountain(float cooldown, float rate) {
        name = "fountain";
        healCooldown = cooldown;
        spawnRate = rate;
        btRigidBody::btRigidBodyConstructionInfo info(0.0001, &motion, &shape, btVector3(0, 0, 0));
        body = std::make_unique<btRigidBody>(info);
        body->setCollisionFlags(body->getCollisionFlags() | btCollisionObject::CF_NO_CONTACT_RESPONSE);
        body->setActivationState(DISABLE_DEACTIVATION);
        body->setUserPointer(static_cast<SceneObject*>(this));
    }
    btBoxShape shape{btVector3(0.5, 2.0, 0.5)};
    btDefaultMotionState motion;
    std::unique_ptr<btRigidBody> body;
};

bool inWorld(const btCollisionObject* body) { return body->getBroadphaseHandle() != nullptr; }

class CollisionRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        player = std::make_shared<GameEntity>();
        player->name = "player";
        place(*player, glm::vec3(0, 10, 0));
        world.add(player->rigidBody);
    }

    std::shared_ptr<Projectile> shot(const std::string& name, const glm::vec3& p) {
        auto s = std::make_shared<Projectile>();
        s->createBody(Projectile::kRadius);
        s->name = name;
        place(*s, p);
        world.add(s->rigidBody);
        s->rigidBody->setGravity(btVector3(0, 0, 0));
        keep.push_back(s);
        return s;
    }
    template <typename Enemy = Rabbit>
    std::shared_ptr<Enemy> rabbit(const glm::vec3& p) {
        auto r = std::make_shared<Enemy>(std::vector<std::shared_ptr<TexturedMesh>>{});
        place(*r, p);
        world.add(r->rigidBody);
        keep.push_back(r);
        return r;
    }
    // One physics step (which builds the contact manifolds), then the rules on them.
    void frame() {
        world->stepSimulation(1.0 / 60.0, 1, 1.0 / 60.0);
        CollisionRules::apply(world->getDispatcher(), world.get(), state, &sounds);
    }

    GameStateManager state;
    testsupport::HeardSounds sounds;
    std::shared_ptr<GameEntity> player;
    std::vector<std::shared_ptr<GameObject>> keep;  // declared before the world, which lets go first
    testsupport::PhysicsWorld world;
};

TEST_F(CollisionRulesTest, TenEnemyShotsInOneFrameTakeAllTheHealth) {
    std::vector<std::shared_ptr<Projectile>> shots;
    for (int i = 0; i < 10; ++i) shots.push_back(shot("projectile", glm::vec3(-0.45f + 0.1f * i, 10.3f, 0)));
    frame();
    EXPECT_EQ(state.health, 0.0f);
    EXPECT_EQ(sounds.count("player hit"), 10);
    for (const auto& s : shots) {
        EXPECT_FALSE(s->visible);
        EXPECT_FALSE(inWorld(s->rigidBody));
    }
}

TEST_F(CollisionRulesTest, EnemyShotHitsOnceAndOtherNamesDoNothing) {
    auto hit = shot("projectile", glm::vec3(0, 10.5f, 0));
    auto own = shot("player_projectile", glm::vec3(0, 9.5f, 0));  // the player's own shot: no rule
    auto other = shot("Projectile", glm::vec3(0.3f, 10, 0));      // names are compared exactly
    frame();
    EXPECT_FLOAT_EQ(state.health, 0.9f);
    EXPECT_FALSE(inWorld(hit->rigidBody));
    EXPECT_TRUE(own->visible);
    EXPECT_TRUE(other->visible);
    frame();
    frame();
    EXPECT_FLOAT_EQ(state.health, 0.9f);
}

TEST_F(CollisionRulesTest, OverlappingBoundingBoxesCountWithoutTouchingSurfaces) {
    // 0.636 apart: the spheres (0.5 + 0.1) do not meet, their boxes do.
    auto graze = shot("projectile", glm::vec3(0.45f, 10.45f, 0));
    world->stepSimulation(1.0 / 60.0, 1, 1.0 / 60.0);
    int contactPoints = 0;
    for (int i = 0; i < world->getDispatcher()->getNumManifolds(); ++i)
        contactPoints += world->getDispatcher()->getManifoldByIndexInternal(i)->getNumContacts();
    ASSERT_EQ(contactPoints, 0);
    CollisionRules::apply(world->getDispatcher(), world.get(), state);
    EXPECT_FLOAT_EQ(state.health, 0.9f);
    EXPECT_FALSE(graze->visible);
}

TEST_F(CollisionRulesTest, PlayerShotKnocksBackEveryRabbitItOverlaps) {
    auto left = rabbit(glm::vec3(20, 0, 0));
    auto right = rabbit<FlyingRabbit>(glm::vec3(21, 0, 0));  // both kinds are "rabbit"
    auto s = shot("player_projectile", glm::vec3(20.5f, 0.2f, 0.1f));
    frame();
    for (const std::shared_ptr<Rabbit>& r : {left, std::shared_ptr<Rabbit>(right)}) {
        EXPECT_TRUE(r->knockedBack);
        EXPECT_EQ(r->hitPoints, 2);
        EXPECT_TRUE(r->visible);
    }
    // Away from the shot, three times the offset, half a unit up.
    EXPECT_NEAR(left->knockbackTarget.x, 20 + 3 * (20 - 20.5f), 1e-4);
    EXPECT_NEAR(left->knockbackTarget.y, 0.5f, 1e-4);
    EXPECT_NEAR(left->knockbackTarget.z, 3 * (0 - 0.1f), 1e-4);
    EXPECT_NEAR(right->knockbackTarget.x, 21 + 3 * (21 - 20.5f), 1e-4);
    EXPECT_FALSE(s->visible);
    EXPECT_FALSE(inWorld(s->rigidBody));
    frame();
    EXPECT_EQ(left->hitPoints, 2);  // the spent shot hits no more
    EXPECT_EQ(state.score, 0);
}

TEST_F(CollisionRulesTest, FourthHitKillsForFivePointsAndFurtherHitsScoreNothing) {
    auto r = rabbit(glm::vec3(20, 0, 0));
    SceneObject ear;
    r->children.push_back(&ear);
    for (int i = 0; i < 3; ++i) {
        shot("player_projectile", glm::vec3(20.3f, 0, 0));
        frame();
    }
    EXPECT_EQ(r->hitPoints, 0);
    EXPECT_TRUE(r->visible);
    EXPECT_EQ(state.score, 0);
    // Two shots in the same frame: the first kills, the second finds it already hidden.
    shot("player_projectile", glm::vec3(20.3f, 0, 0));
    shot("player_projectile", glm::vec3(19.7f, 0, 0));
    frame();
    EXPECT_EQ(r->hitPoints, -2);
    EXPECT_EQ(state.score, 5);
    // Every hit is heard, the last as the fall; the shot into the fallen rabbit is not.
    EXPECT_EQ(sounds.heard, (std::vector<std::string>{"rabbit hit", "rabbit hit", "rabbit hit", "rabbit fell"}));
    EXPECT_FALSE(r->visible);
    EXPECT_FALSE(ear.visible);
    EXPECT_FALSE(inWorld(r->rigidBody));
}

TEST_F(CollisionRulesTest, ItemScoresOnceAndLeavesTheWorld) {
    auto item = std::make_shared<TestItem>();
    keep.push_back(item);
    place(*item, glm::vec3(1, 10, 1));
    world.add(item->rigidBody);
    frame();
    EXPECT_EQ(state.score, 1);
    EXPECT_EQ(sounds.heard, std::vector<std::string>{"diamond"});
    EXPECT_FALSE(item->visible);
    EXPECT_FALSE(item->mesh.visible);
    EXPECT_FALSE(inWorld(item->rigidBody));
    frame();
    EXPECT_EQ(state.score, 1);
}

TEST_F(CollisionRulesTest, BodiesWithoutOwnerAreIgnored) {
    btSphereShape shape(0.5);
    btDefaultMotionState motion(at(glm::vec3(0, 10.2f, 0)));
    btRigidBody stray(btRigidBody::btRigidBodyConstructionInfo(0.1, &motion, &shape));
    world.add(&stray);
    EXPECT_NO_FATAL_FAILURE(frame());
    EXPECT_FLOAT_EQ(state.health, 1.0f);
    world.remove(&stray);
}

class FountainRulesTest : public CollisionRulesTest {
protected:
    TestFountain& fountain(float cooldown, float rate) {
        f = std::make_unique<TestFountain>(cooldown, rate);
        f->body->setWorldTransform(at(glm::vec3(0.5f, 11, 0.5f)));
        world.add(f->body.get());
        f->body->setGravity(btVector3(0, 0, 0));
        return *f;
    }
    void TearDown() override {
        if (f) world.remove(f->body.get());
    }
    std::unique_ptr<TestFountain> f;
};

TEST_F(FountainRulesTest, HealStopsAtFullHealthAndStartsTheCooldown) {
    TestFountain& spring = fountain(0.0f, 10.0f);
    state.health = 0.95f;
    frame();
    EXPECT_EQ(state.health, 1.0f);
    EXPECT_EQ(sounds.heard, std::vector<std::string>{"heal"});
    EXPECT_FLOAT_EQ(spring.healCooldown, 4.0f);
    EXPECT_FLOAT_EQ(spring.spawnRate, 6.5f);
    EXPECT_TRUE(inWorld(spring.body.get()));
}

TEST_F(FountainRulesTest, RunningCooldownGivesNothingAndIsKept) {
    TestFountain& spring = fountain(2.5f, 10.0f);
    state.health = 0.5f;
    frame();
    EXPECT_FLOAT_EQ(state.health, 0.5f);
    EXPECT_FLOAT_EQ(spring.healCooldown, 2.5f);
    EXPECT_FLOAT_EQ(spring.spawnRate, 10.0f);
    EXPECT_TRUE(sounds.heard.empty());
}

TEST_F(FountainRulesTest, LastHealExhaustsTheFountainAndTakesItsBodyAway) {
    TestFountain& spring = fountain(0.0f, 3.0f);
    state.health = 0.5f;
    frame();
    EXPECT_FLOAT_EQ(state.health, 0.6f);
    EXPECT_EQ(spring.spawnRate, 0.0f);
    EXPECT_FALSE(inWorld(spring.body.get()));
    EXPECT_TRUE(spring.visible);  // an exhausted fountain is still drawn
    spring.healCooldown = 0.0f;
    frame();
    EXPECT_FLOAT_EQ(state.health, 0.6f);
}

}  // namespace
