#include "world/CollisionRules.h"

#include "entities/Projectile.h"
#include "entities/Rabbit.h"
#include "fluid/Healer.h"
#include "physics/Bodies.h"
#include "scene/ObjectTags.h"
#include "scene/SceneObject.h"
#include "world/GameStateManager.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <vector>

namespace {

// One side of a contact pair: the body and the object that owns it.
struct Party {
    SceneObject* object = nullptr;
    btCollisionObject* body = nullptr;
};

// Whether the two surfaces meet: the pair's manifold holds a point at which they touch or overlap. A
// manifold alone only says that the bounding boxes overlap, and keeps points a little apart too.
bool touching(const btPersistentManifold& manifold) {
    for (int i = 0; i < manifold.getNumContacts(); ++i) {
        if (manifold.getContactPoint(i).getDistance() <= 0.0) return true;
    }
    return false;
}

Party partyOf(const btCollisionObject* body) { return {physics::ownerOf(body), const_cast<btCollisionObject*>(body)}; }

// Orders the pair as (`first`, `second`) by name, whichever way round the bodies came.
bool matchPair(const Party& a, const Party& b, const char* first, const char* second, Party& x, Party& y) {
    if (a.object->name == first && b.object->name == second) {
        x = a;
        y = b;
        return true;
    }
    if (b.object->name == first && a.object->name == second) {
        x = b;
        y = a;
        return true;
    }
    return false;
}

// Float steps of a tenth leave crumbs like 1e-8 behind, which would read as 0% on the HUD yet keep
// the round alive; anything that small counts as empty.
float clampHealth(float health) {
    if (health < 1e-5f) return 0.0f;
    return std::min(health, 1.0f);
}

class RulePass {
public:
    RulePass(GameStateManager& state, WorldEvents& events) : state(state), events(events) {}

    void apply(const Party& a, const Party& b) {
        Party p, q;
        if (matchPair(a, b, tags::kPlayer, tags::kProjectile, p, q)) {
            state.health = clampHealth(state.health - CollisionRules::kShotDamage);
            takeOutOfPlay(q);
            const auto* shot = dynamic_cast<const Projectile*>(q.object);
            events.push_back(
                {WorldEvent::Kind::PlayerHit, p.object->position, shot ? shot->origin : q.object->position});
        }
        if (matchPair(a, b, tags::kPlayer, tags::kItem, p, q)) {
            state.score += CollisionRules::kItemScore;
            takeOutOfPlay(q);
            events.push_back({WorldEvent::Kind::Diamond, q.object->position, q.object->position});
        }
        if (matchPair(a, b, tags::kPlayerProjectile, tags::kRabbit, p, q)) {
            hitEnemy(p, q);
            takeOutOfPlay(p);
        }
        if (matchPair(a, b, tags::kPlayer, tags::kFountain, p, q)) heal(q);
    }

    // Bodies leave the world in the order they were queued; one queued twice leaves once.
    void removeQueued(btDynamicsWorld* world) {
        for (btCollisionObject* body : removals) physics::removeFromWorld(body, world);
        removals.clear();
    }

private:
    void takeOutOfPlay(const Party& party) {
        for (SceneObject* child : party.object->children) {
            if (child) child->setVisible(false);
        }
        party.object->visible = false;
        removals.push_back(party.body);
    }

    void hitEnemy(const Party& shot, const Party& enemy) {
        auto* target = dynamic_cast<Rabbit*>(enemy.object);
        if (!target) return;
        const glm::vec3 r = target->position;
        const glm::vec3 s = shot.object->position;
        target->knockbackTarget = glm::vec3(r.x + 3.0f * (r.x - s.x), r.y + 0.5f, r.z + 3.0f * (r.z - s.z));
        target->knockedBack = true;
        const bool standing = target->visible;  // one already fallen is not heard again
        target->hitPoints -= 1;
        if (target->hitPoints < 0 && target->visible) {
            takeOutOfPlay(enemy);
            state.score += CollisionRules::kKillScore;
        }
        if (!standing) return;
        events.push_back({WorldEvent::Kind::RabbitHit, r, s});
        if (!target->visible) events.push_back({WorldEvent::Kind::RabbitFell, r, s});
    }

    void heal(const Party& fountain) {
        auto* healer = dynamic_cast<Healer*>(fountain.object);
        if (!healer) return;
        float amount = 0.0f;
        if (healer->healCooldown <= 0.0f) {
            healer->healCooldown = CollisionRules::kHealCooldown;
            if (healer->spawnRate > 0.0f) {
                healer->spawnRate = std::max(healer->spawnRate - CollisionRules::kHealSpawnCost, 0.0f);
                amount = CollisionRules::kHealAmount;
                events.push_back({WorldEvent::Kind::Heal, fountain.object->position, fountain.object->position});
            }
        }
        state.health = clampHealth(state.health + amount);
        // An exhausted fountain stays visible but can no longer be touched.
        if (healer->spawnRate == 0.0f) removals.push_back(fountain.body);
    }

    GameStateManager& state;
    WorldEvents& events;
    std::vector<btCollisionObject*> removals;
};

}  // namespace

void CollisionRules::apply(btDispatcher* dispatcher, btDynamicsWorld* world, GameStateManager& state,
                           WorldEvents& events) {
    if (!dispatcher) return;
    RulePass pass(state, events);
    const int count = dispatcher->getNumManifolds();
    for (int i = 0; i < count; ++i) {
        const btPersistentManifold* manifold = dispatcher->getManifoldByIndexInternal(i);
        if (!touching(*manifold)) continue;
        const Party a = partyOf(manifold->getBody0());
        const Party b = partyOf(manifold->getBody1());
        if (!a.object || !b.object) continue;
        pass.apply(a, b);
    }
    if (world) pass.removeQueued(world);
}
