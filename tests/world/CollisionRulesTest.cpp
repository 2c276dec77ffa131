#include "world/CollisionRules.h"

#include "entities/FlyingRabbit.h"
#include "entities/Item.h"
#include "entities/Projectile.h"
#include "world/GameStateManager.h"
#include "fluid/Healer.h"
#include "render/TexturedMesh.h"
#include "support/Near.h"
#include "support/PhysicsWorld.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

btTransform at(const glm::vec3& p) { return btTransform(btQuaternion::getIdentity(), btVector3(p.x, p.y, p.z)); }

bool inPlay(const GameObject& object) { return object.visible || object.rigidBody->getBroadphaseHandle(); }

// A fountain's contact-only trigger box, as the heal rule sees it.
struct TestFountain : Healer {
    TestFountain() {
        name = "fountain";
        body.setCollisionFlags(btCollisionObject::CF_NO_CONTACT_RESPONSE);
        body.setUserPointer(static_cast<SceneObject*>(this));
    }
    btBoxShape shape{btVector3(0.5, 2.0, 0.5)};
    btDefaultMotionState motion{at(glm::vec3(0.5f, 11, 0.5f))};
    btRigidBody body{btRigidBody::btRigidBodyConstructionInfo(0.0001, &motion, &shape)};
};

// The player at (0, 10, 0) in a real world; a frame is one physics step and the rules on its contacts.
class CollisionRulesTest : public ::testing::Test {
protected:
    CollisionRulesTest() { place(player, glm::vec3(0, 10, 0), "player"); }
    // Object and body in the same place, so the broadphase sees what the rules read.
    template <typename Object>
    std::shared_ptr<Object> place(std::shared_ptr<Object> object, const glm::vec3& p, const char* name = nullptr) {
        if (name) object->name = name;
        object->setPosition(p);
        object->rigidBody->setWorldTransform(at(p + object->bodyOffset));
        object->motionState->setWorldTransform(at(p + object->bodyOffset));
        world.add(object->rigidBody);
        object->rigidBody->setGravity(btVector3(0, 0, 0));
        keep.push_back(object);
        return object;
    }
    std::shared_ptr<Projectile> shot(const char* name, const glm::vec3& p) {
        auto s = std::make_shared<Projectile>();
        s->createBody(Projectile::kRadius);
        s->origin = p + glm::vec3(0, 5, 0);
        return place(s, p, name);
    }
    void frame() {
        world->stepSimulation(1.0 / 60.0, 1, 1.0 / 60.0);
        CollisionRules::apply(world->getDispatcher(), world.get(), state, events);
    }
    long count(WorldEvent::Kind kind) const {
        return std::count_if(events.begin(), events.end(), [kind](const WorldEvent& e) { return e.kind == kind; });
    }

    GameStateManager state;
    WorldEvents events;
    std::shared_ptr<GameEntity> player = std::make_shared<GameEntity>();
    std::vector<std::shared_ptr<GameObject>> keep;  // declared before the world, which lets go first
    testsupport::PhysicsWorld world;
};

TEST_F(CollisionRulesTest, EnemyShotsTakeATenthOnceAndTenTakeEverything) {
    std::vector<std::shared_ptr<Projectile>> volley;
    for (int i = 0; i < 10; ++i) volley.push_back(shot("projectile", glm::vec3(-0.45f + 0.1f * i, 10.3f, 0)));
    frame();
    EXPECT_EQ(state.health, 0.0f) << "no crumb of health is left to keep the round alive";
    EXPECT_EQ(count(WorldEvent::Kind::PlayerHit), 10);
    EXPECT_TRUE(testsupport::near(events.front().from, volley.front()->origin)) << "told whence the shot came";
    for (const auto& s : volley) EXPECT_FALSE(inPlay(*s));

    state.health = 1.0f;
    // Flying past 0.636 from the cat's centre (radii 0.5 and 0.1) the bounding boxes overlap, but the
    // surfaces never meet: no hit.
    auto past = shot("projectile", glm::vec3(-1.2f, 10.45f, 0.45f));
    past->rigidBody->setLinearVelocity(btVector3(10, 0, 0));
    auto own = shot("player_projectile", glm::vec3(0, 9.5f, 0));
    auto other = shot("Projectile", glm::vec3(0.3f, 10, 0));  // names are compared exactly
    for (int i = 0; i < 15; ++i) frame();
    EXPECT_GT(past->rigidBody->getWorldTransform().getOrigin().x(), 1.0) << "it went by";
    EXPECT_FLOAT_EQ(state.health, 1.0f);
    EXPECT_TRUE(past->visible && own->visible && other->visible);
}

TEST_F(CollisionRulesTest, PlayerShotsKnockBackEveryRabbitTheyTouchAndTheFourthHitKills) {
    const std::vector<std::shared_ptr<TexturedMesh>> model{std::make_shared<TexturedMesh>()};
    auto left = place(std::make_shared<Rabbit>(model), glm::vec3(20, 0, 0));
    auto right = place(std::make_shared<FlyingRabbit>(model), glm::vec3(21, 0, 0));
    EXPECT_TRUE(left->name == "rabbit" && right->name == "rabbit") << "both kinds carry the one tag";
    auto first = shot("player_projectile", glm::vec3(20.5f, 0.2f, 0.1f));
    frame();
    // Away from the shot, three times the offset, half a unit up.
    EXPECT_TRUE(testsupport::near(left->knockbackTarget, glm::vec3(20 - 1.5f, 0.5f, -0.3f)));
    EXPECT_NEAR(right->knockbackTarget.x, 21 + 1.5f, 1e-4);
    EXPECT_TRUE(left->knockedBack && right->knockedBack);
    EXPECT_EQ(right->hitPoints, 2);
    EXPECT_FALSE(inPlay(*first));
    for (int i = 0; i < 2; ++i) {
        shot("player_projectile", glm::vec3(19.7f, 0, 0));
        frame();
    }
    EXPECT_TRUE(left->visible);
    EXPECT_EQ(state.score, 0);
    // Two shots in one frame: the first kills, the second finds it already hidden.
    shot("player_projectile", glm::vec3(19.7f, 0, 0));
    shot("player_projectile", glm::vec3(20.45f, 0.5f, 0));
    frame();
    EXPECT_EQ(state.score, 5);
    EXPECT_FALSE(inPlay(*left) || left->meshes[0]->visible);
    // Every hit on a standing rabbit is told, the killing one followed by the fall; the second shot finds
    // only the right one.
    EXPECT_EQ(count(WorldEvent::Kind::RabbitHit), 6);
    EXPECT_EQ(count(WorldEvent::Kind::RabbitFell), 1);
    EXPECT_EQ(events.size(), 7u);
}

TEST_F(CollisionRulesTest, ItemsScoreOnceAndBodiesWithoutAnOwnerAreIgnored) {
    auto item =
        place(std::make_shared<Item>(glm::vec3(1, 9.8f, 1), std::make_shared<TexturedMesh>()), glm::vec3(1, 9.8f, 1));
    item->children.push_back(nullptr);  // an empty child slot, which the scene graph skips
    EXPECT_EQ(item->name, "item");
    btSphereShape shape(0.5);
    btDefaultMotionState motion(at(glm::vec3(0, 10.2f, 0)));
    btRigidBody stray(btRigidBody::btRigidBodyConstructionInfo(0.1, &motion, &shape));
    world.add(&stray);
    frame();
    frame();
    EXPECT_EQ(state.score, 1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, WorldEvent::Kind::Diamond);
    EXPECT_FALSE(inPlay(*item) || item->meshes[0]->visible);
    EXPECT_FLOAT_EQ(state.health, 1.0f);
    world.remove(&stray);
}

TEST_F(CollisionRulesTest, FountainsHealAfterTheirCooldownUntilTheyRunDry) {
    const struct {
        float cooldown, rate, health, healthAfter, cooldownAfter, rateAfter;
        bool stays;
    } cases[] = {
        {0.0f, 10.0f, 0.95f, 1.0f, 4.0f, 6.5f, true},  // capped at full health
        {2.5f, 10.0f, 0.5f, 0.5f, 2.5f, 10.0f, true},  // cooling down: nothing
        {0.0f, 3.0f, 0.5f, 0.6f, 4.0f, 0.0f, false},   // the last heal: out of reach, still drawn
    };
    for (const auto& c : cases) {
        TestFountain fountain;
        fountain.healCooldown = c.cooldown;
        fountain.spawnRate = c.rate;
        world.add(&fountain.body);
        fountain.body.setGravity(btVector3(0, 0, 0));
        state.health = c.health;
        events.clear();
        frame();
        EXPECT_FLOAT_EQ(state.health, c.healthAfter);
        EXPECT_EQ(count(WorldEvent::Kind::Heal), c.healthAfter > c.health ? 1 : 0);
        EXPECT_FLOAT_EQ(fountain.healCooldown, c.cooldownAfter);
        EXPECT_FLOAT_EQ(fountain.spawnRate, c.rateAfter);
        EXPECT_EQ(fountain.body.getBroadphaseHandle() != nullptr, c.stays);
        EXPECT_TRUE(fountain.visible);
        if (fountain.body.getBroadphaseHandle()) world.remove(&fountain.body);
    }
}

}  // namespace
