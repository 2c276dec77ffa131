// quillmarsh_replaybot: plays a round with a simple player of its own and records it as a replay, for
// the golden replays of the test suite (a person aiming by hand rarely downs a rabbit in a few seconds).
// The player turns to the nearest rabbit in reach, walks up to it and fires at its chest every quarter
// second; with no rabbit near it walks to the nearest diamond. It stops half a second after the first
// rabbit falls, or after --ticks ticks.
//   quillmarsh_replaybot OUT.replay [--seed N] [--ticks N]
// Run from the repository root (it reads res/ and shader/ like the game), under xvfb-run when there is
// no display. Prints the game's "recorded" line.

#include "app/Windowing.h"
#include "entities/EnemyManager.h"
#include "entities/Item.h"
#include "entities/ItemManager.h"
#include "entities/Player.h"
#include "game/Game.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kReach = 25.0f;        // rabbits farther than this are left alone
constexpr float kCloseEnough = 7.0f;   // it stops walking this near its rabbit
constexpr float kTurnPerTick = 0.06f;  // radians

// The nearest visible thing of `things` to `from` within `reach`; null when there is none.
template <typename Thing>
const Thing* nearest(const std::vector<std::shared_ptr<Thing>>& things, const glm::vec3& from, float reach) {
    const Thing* best = nullptr;
    float bestDistance = reach;
    for (const auto& thing : things) {
        const float d = glm::length(thing->position - from);
        if (thing->visible && d < bestDistance) {
            best = thing.get();
            bestDistance = d;
        }
    }
    return best;
}

// The input of one tick, decided from the world as it stands.
TickInput decide(const World& world) {
    TickInput input;
    const Player& cat = *world.player();
    const Rabbit* rabbit = nearest(world.enemies()->rabbits, cat.position, kReach);
    const glm::vec3 goal = rabbit ? rabbit->position : [&] {
        const Item* item = nearest(world.items()->items, cat.position, std::numeric_limits<float>::max());
        return item ? item->position : cat.position;
    }();
    const glm::vec3 towards = goal - cat.position;
    // The cat looks along its -z: yaw 0 faces -z, turning left (positive yaw) faces -x.
    const float wanted = std::atan2(-towards.x, -towards.z);
    const float turn = std::remainder(wanted - cat.rotation.y, 2.0f * kPi);
    input.turn = std::fmax(-kTurnPerTick, std::fmin(kTurnPerTick, turn));
    const float distance = glm::length(glm::vec2(towards.x, towards.z));
    if (distance > (rabbit ? kCloseEnough : 0.5f)) input.hold(kKeyW);
    if (rabbit) {
        const glm::vec3 chest = rabbit->position + glm::vec3(0.0f, 0.5f, 0.0f) - world.eye().position;
        const glm::mat4 toEye = glm::transpose(world.eye().getRotationMatrix());
        input.aim = glm::normalize(glm::vec3(toEye * glm::vec4(chest, 0.0f)));
        input.fire = std::abs(turn) < 0.2f && world.ticks() % 15 == 0;
    }
    return input;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.replay [--seed N] [--ticks N]\n", argv[0]);
        return 2;
    }
    unsigned seed = 5;
    uint64_t ticks = 600;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--seed")
            seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
        else if (option == "--ticks")
            ticks = std::strtoull(argv[i + 1], nullptr, 10);
    }
    if (!startGlfw()) return 1;
    GlWindowRequest request;
    request.size = {160, 120};
    request.title = "quillmarsh replay bot";
    request.visible = false;
    WindowSize drawable;
    GLFWwindow* window = openGlWindow(request, drawable);
    if (!window) return 1;
    {
        int64_t now = 0;
        const Game* playing = nullptr;
        Game::Setup setup;
        setup.width = 160;
        setup.height = 120;
        setup.quality = GraphicsQuality::forLevel(QualityLevel::Low, 0);
        setup.start.seed = seed;
        setup.clock = [&now] { return now; };
        setup.recordPath = argv[1];
        setup.draws = false;
        setup.script = [&playing](uint64_t) { return decide(playing->world()); };
        Game game(setup);
        playing = &game;
        uint64_t end = ticks;
        while (game.world().ticks() < end && !game.gameOver()) {
            now += 1000000000 / 12;  // five ticks a frame
            game.frame(Game::FrameInput{glm::vec2(0.0f), std::vector<int>(kPlayerKeyCount, 0)});
            for (const auto& rabbit : game.world().enemies()->rabbits) {
                if (!rabbit->visible) end = std::min(end, game.world().ticks() + 30);
            }
        }
        game.finish();
    }
    closeGlWindow(window);
    return 0;
}
