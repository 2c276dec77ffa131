#include "game/Game.h"

#include "entities/EnemyManager.h"
#include "support/TestGame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

const std::string kFolder = "tests/data/replays/";

// How a recorded stretch of play ended: score, health in percent, rabbits down, and the whole state.
std::string outcome(const World& world) {
    int down = 0;
    for (const auto& rabbit : world.enemies()->rabbits) down += rabbit->visible ? 0 : 1;
    for (const auto& flyer : world.enemies()->flyingRabbits) down += flyer->visible ? 0 : 1;
    std::ostringstream line;
    line << "score " << world.round().score << " health " << std::lround(world.round().health * 100.0f) << " down "
         << down << " state " << World::hex(world.stateHash());
    return line.str();
}

using GoldenReplayTest = testsupport::TestGame;

// Sessions of the game recorded with real input (record.sh) end as they ended when expected.txt was
// written: a change to a rule shows up as a changed outcome. When such a change is meant,
//   QUILLMARSH_REFRESH_REPLAYS=1 build/tests/quillmarsh_tests --gtest_filter='GoldenReplay*'
// writes the new outcomes (and the end state into each replay).
TEST_F(GoldenReplayTest, RecordedSessionsEndAsTheyDid) {
    const bool refresh = std::getenv("QUILLMARSH_REFRESH_REPLAYS") != nullptr;
    std::ifstream expected(kFolder + "expected.txt");
    std::ostringstream refreshed;
    std::string name, result;
    int played = 0;
    while (expected >> name && std::getline(expected >> std::ws, result)) {
        std::string error;
        auto replay = Replay::read(kFolder + name + ".replay", "1.0.0", error);
        ASSERT_TRUE(replay) << error;
        if (!game) {
            Game::Setup gameSetup = setup(160, 120);
            gameSetup.replay = replay;
            gameSetup.draws = false;  // what is drawn changes nothing, as the determinism test shows
            build(gameSetup);
        }
        testing::internal::CaptureStdout();  // the landscapes' triangle counts, the dashes' targets
        if (played > 0) game->play(*replay);
        while (!game->finished()) frame(1000.0 / 12.0);  // five ticks a frame
        testing::internal::GetCapturedStdout();
        ++played;
        refreshed << name << ' ' << outcome(game->world()) << '\n';
        if (refresh) {
            replay->endState = game->world().stateHash();
            ASSERT_TRUE(replay->write(kFolder + name + ".replay", error)) << error;
        } else {
            EXPECT_EQ(outcome(game->world()), result) << name;
            EXPECT_TRUE(game->replayMatched()) << name << " ends elsewhere than where it was recorded";
        }
    }
    if (refresh) std::ofstream(kFolder + "expected.txt") << refreshed.str();
    EXPECT_GE(played, 3);
}

}  // namespace
