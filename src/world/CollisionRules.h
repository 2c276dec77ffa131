#pragma once

#include "scene/WorldEvent.h"

class GameStateManager;
class btDispatcher;
class btDynamicsWorld;

// The game rules on contacts, by the names of the two objects that touch: an enemy shot
// ("projectile") costs the "player" a tenth of the health, an "item" scores a point, a
// "player_projectile" knocks a "rabbit" back and kills it at its fourth hit (5 points), a "fountain"
// heals. A pair counts only where the surfaces meet (a contact point at distance 0 or less), not
// where only the bounding boxes overlap. Objects taken out of play are hidden at once; their bodies leave
// the world after all pairs have been looked at, so a shot hits at most once.
class CollisionRules {
public:
    // One pass over every contact manifold that `dispatcher` holds. Bodies without an owner (user
    // pointer) are ignored. Every hit, fall, pickup and heal is appended to `events` as it is decided.
    static void apply(btDispatcher* dispatcher, btDynamicsWorld* world, GameStateManager& state, WorldEvents& events);

    static constexpr float kShotDamage = 0.1f;
    static constexpr float kHealAmount = 0.1f;
    static constexpr float kHealCooldown = 4.0f;
    static constexpr float kHealSpawnCost = 3.5f;
    static constexpr int kItemScore = 1;
    static constexpr int kKillScore = 5;
};
