#include "RoundScript.h"

#include "entities/EnemyManager.h"
#include "entities/Item.h"
#include "entities/ItemManager.h"
#include "entities/Player.h"
#include "entities/Rabbit.h"
#include "fluid/Healer.h"
#include "game/Game.h"
#include "world/GameStateManager.h"
#include "world/World.h"

#include <btBulletDynamicsCommon.h>

#include <limits>

namespace {

constexpr int kHuntEnd = 40;
constexpr int kJump = 42;
constexpr int kDash = 48;
constexpr int kDiamond = 58;
constexpr int kFountain = 64;
constexpr int kTimeUp = 72;
constexpr int kNewWorld = 78;
constexpr int kHealthGone = 86;

template <typename Thing>
std::shared_ptr<Thing> nearest(const std::vector<std::shared_ptr<Thing>>& things, const glm::vec3& from) {
    std::shared_ptr<Thing> best;
    float bestDistance = std::numeric_limits<float>::max();
    for (const auto& thing : things) {
        const float d = glm::length(thing->position - from);
        if (thing->visible && d < bestDistance) {
            best = thing;
            bestDistance = d;
        }
    }
    return best;
}

// Puts the cat with its body centre at `bodyCentre`, at rest, facing and looking as it did.
void putPlayer(World& world, const glm::vec3& bodyCentre) {
    const Player& cat = *world.player();
    world.putCat(bodyCentre - cat.bodyOffset, cat.rotation.y, world.eye().rotation.x, false);
}

}  // namespace

std::string RoundScript::hunt(int frame, Game& game) {
    std::string did;
    game.stage([&](World& world) {
        if (frame == 1) {
            target = nearest(world.enemies()->rabbits, world.player()->position);
            if (!target) {
                did = "no rabbit to hunt";
                return;
            }
            const Player& cat = *world.player();
            world.putCat(target->position + glm::vec3(5.0f, 2.0f, 0.0f), cat.rotation.y, world.eye().rotation.x);
            did = "cat put 5 units from a rabbit";
            return;
        }
        if (!target || targetFell) return;
        if (!target->visible) {
            targetFell = true;
            did = "the rabbit is down";
            return;
        }
        if (frame % 3 != 0) return;
        world.firePlayerShotAt(target->position + glm::vec3(0.0f, 0.5f, 0.0f));
        did = "fire at the rabbit";
    });
    return did;
}

std::string RoundScript::before(int frame, Game& game, std::vector<int>& keys) {
    keys.assign(kPlayerKeyCount, 0);
    if (frame < kHuntEnd) return hunt(frame, game);
    if (frame == kJump || frame == kJump + 1) {
        keys[kKeySpace] = 1;
        return "space held";
    }
    if (frame == kNewWorld) {
        game.newWorld();
        return "R: new world";
    }
    std::string did;
    game.stage([&](World& world) {
        Player& player = world.playerForStaging();
        if (frame == kDash) {
            player.moveTo(player.position + glm::vec3(0.0f, -6.0f, -12.0f), world.physics());
            did = player.movingToTarget ? "dash started" : "no dash (no terrain ahead)";
        } else if (frame == kDiamond) {
            const auto item = nearest(world.items()->getItems(), player.position);
            if (!item) {
                did = "no diamond left";
                return;
            }
            putPlayer(world, item->position + item->bodyOffset);
            did = "cat put on a diamond";
        } else if (frame == kFountain) {
            did = "no fountain";
            for (const auto& fountain : world.itemsForStaging().getFountains()) {
                if (fountain->spawnRate <= 0.0f) continue;
                fountain->healCooldown = 0.0f;
                putPlayer(world, fountain->position + glm::vec3(0.5f, 1.0f, 0.5f));
                did = "cat put into a fountain";
                break;
            }
        } else if (frame == kTimeUp) {
            world.runRoundClockTo(1);
            did = "time nearly up";
        } else if (frame == kHealthGone) {
            world.roundForStaging().health = 0.0f;
            did = "health taken away";
        }
    });
    return did;
}
