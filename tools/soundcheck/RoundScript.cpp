#include "RoundScript.h"

#include "entities/EnemyManager.h"
#include "entities/Item.h"
#include "entities/ItemManager.h"
#include "entities/Player.h"
#include "entities/Rabbit.h"
#include "game/Game.h"
#include "game/GameStateManager.h"
#include "fluid/Healer.h"
#include "game/ObjectTags.h"

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

// Puts the cat with its body centre at `bodyCentre`, ending any dash.
void putPlayer(Game& game, const glm::vec3& bodyCentre) {
    game.player->movingToTarget = false;
    game.player->setPosition(bodyCentre - game.player->bodyOffset);
    game.player->syncFromBody();
}

}  // namespace

std::string RoundScript::hunt(int frame, Game& game) {
    Player& player = *game.player;
    if (frame == 1) {
        target = nearest(game.enemyManager->rabbits, player.position);
        if (!target) return "no rabbit to hunt";
        player.setPosition(target->position + glm::vec3(5.0f, 2.0f, 0.0f));
        player.placeOnGround(game.dynamicsWorld);
        return "cat put 5 units from a rabbit";
    }
    if (!target || targetFell) return "";
    if (!target->visible) {
        targetFell = true;
        return "the rabbit is down";
    }
    if (frame % 3 != 0) return "";
    const glm::vec3 start = player.getProjectileSpawnPoint();
    const glm::vec3 aim = target->position + glm::vec3(0.0f, 0.5f, 0.0f);
    game.spawnProjectile(glm::normalize(aim - start) * player.projectileSpeed, start, 1.0f, tags::kPlayerProjectile);
    return "fire at the rabbit";
}

std::string RoundScript::before(int frame, Game& game, std::vector<int>& keys) {
    keys.assign(6, 0);
    if (frame < kHuntEnd) return hunt(frame, game);
    Player& player = *game.player;
    if (frame == kJump || frame == kJump + 1) {
        keys[4] = 1;
        return "space held";
    }
    if (frame == kDash) {
        player.moveTo(player.position + glm::vec3(0.0f, -6.0f, -12.0f), game.dynamicsWorld);
        return player.movingToTarget ? "dash started" : "no dash (no terrain ahead)";
    }
    if (frame == kDiamond) {
        const auto item = nearest(game.itemManager->getItems(), player.position);
        if (!item) return "no diamond left";
        putPlayer(game, item->position + item->bodyOffset);
        return "cat put on a diamond";
    }
    if (frame == kFountain) {
        for (const auto& fountain : game.itemManager->getFountains()) {
            if (fountain->spawnRate <= 0.0f) continue;
            fountain->healCooldown = 0.0f;
            putPlayer(game, fountain->position + glm::vec3(0.5f, 1.0f, 0.5f));
            return "cat put into a fountain";
        }
        return "no fountain";
    }
    if (frame == kTimeUp) {
        game.gameState->timeLeft = 1;
        return "time nearly up";
    }
    if (frame == kNewWorld) {
        game.reset();
        return "R: new world";
    }
    if (frame == kHealthGone) {
        game.gameState->health = 0.0f;
        return "health taken away";
    }
    return "";
}
