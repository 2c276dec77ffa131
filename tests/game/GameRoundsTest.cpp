#include "game/Game.h"

#include "game/ScoreBook.h"
#include "support/HeardSounds.h"
#include "support/TempDirectory.h"
#include "support/TestGame.h"
#include "view/WorldView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

using GameRoundsTest = testsupport::TestGame;

// Two-second rounds of a game that records its session, keeps the last round and scores the rounds.
TEST_F(GameRoundsTest, PauseFreezesTheWorldAndFinishedRoundsAreScoredKeptRecordedAndPlayBackTheSame) {
    testsupport::TempDirectory folder;
    Game::Setup gameSetup = setup();
    gameSetup.start.roundSeconds = 2;
    gameSetup.recordPath = folder.path() + "/session.replay";
    gameSetup.lastReplayPath = folder.path() + "/last.replay";
    build(gameSetup);
    std::ostringstream report;
    auto book = std::make_shared<ScoreBook>(folder.path(), report, [] { return std::time_t(1700000000); });
    game->setScoreBook(book);
    auto sounds = std::make_shared<testsupport::HeardSounds>();
    game->setSounds(sounds);
    int scenePasses = 0;
    game->onScenePass([&scenePasses](const glm::vec4&, float) { ++scenePasses; });
    const auto showing = [&](const std::string& text) {
        const auto rows = game->visibleRows();
        return std::any_of(rows.begin(), rows.end(), [&](const HudText& row) { return row.text == text; });
    };

    frame(0);
    game->fire();
    frame(20, {0, 0}, {kKeyW});
    const uint64_t before = game->world().stateHash();
    const glm::vec2 look = game->lookOffset();
    game->pause().toggle();
    scenePasses = 0;
    for (int i = 0; i < 3; ++i) frame(5000, {150.0f * i, 0});  // the free cursor wanders about
    EXPECT_GT(scenePasses, 0) << "paused frames still draw";
    EXPECT_TRUE(showing("Paused"));
    EXPECT_EQ(game->world().stateHash(), before) << "nothing in the world moved";
    EXPECT_EQ(game->lookOffset(), look);
    game->pause().toggle();
    frame(20, {500.0f, 0}, {kKeyW});  // the cursor caught again somewhere else: no jolt, no ticks yet
    EXPECT_FALSE(showing("Paused"));
    EXPECT_EQ(game->world().stateHash(), before);
    frame(20, {500.0f, 0}, {kKeyW});
    EXPECT_EQ(game->world().ticks(), 2u);
    EXPECT_EQ(game->lookOffset(), look);

    // The round runs out in its 120th tick: recorded, kept, scored, told.
    while (!game->gameOver()) frame(50, {500.0f, 0}, {kKeyW, kKeyA});
    const std::string told = printed.str().substr(printed.str().find("recorded"));
    ASSERT_EQ(told.size(), std::string("recorded 120 ticks, state 0123456789abcdef\n").size()) << told;
    EXPECT_EQ(told.substr(0, 26), "recorded 120 ticks, state ");
    const std::string ended = told.substr(26, 16);
    EXPECT_EQ(contents(folder.path() + "/last.replay"), contents(gameSetup.recordPath));
    const int score = game->world().round().score;
    EXPECT_EQ(game->hudRows().rows().back().text, score > 0 ? "New best score!" : "Best score: 0");
    const HudText& best = game->hudRows().rows().back();
    EXPECT_FLOAT_EQ(best.x + game->view().textWidth(best.text, best.scale) / 2.0f, game->view().width() / 2)
        << "centred";
    frame(50);
    EXPECT_EQ(printed.str().find("recorded", printed.str().find("recorded") + 1), std::string::npos) << "once";

    // R in the frame whose tick ends the next round: the round is scored first, then the new world comes.
    game->newWorld();
    frame(20);
    game->stage([](World& w) {
        w.runRoundClockTo(390);  // 1.61 seconds played, on to the next whole tick
        EXPECT_LE(w.round().timeLeft, 390);
        w.roundForStaging().health = 0.0f;
    });
    game->newWorld();
    testing::internal::CaptureStdout();
    frame(20);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(sounds->count("health gone"), 1);
    EXPECT_EQ(sounds->count("new world"), 2);
    EXPECT_EQ(game->hudRows().rows().size(), 5u);
    ScoreBook reread(folder.path(), report);
    reread.load();
    ASSERT_EQ(reread.recent().size(), 2u);
    EXPECT_EQ(reread.recent().front().score, score);
    EXPECT_EQ(reread.recent().front().seconds, 2);
    EXPECT_EQ(reread.recent().back().seconds, 2) << "1.6 seconds round to 2";
    EXPECT_EQ(report.str(), "");

    // The recording plays back to the same state, at a frame rate of its own.
    std::string error;
    const auto recorded = Replay::read(gameSetup.recordPath, "1.0.0", error);
    ASSERT_TRUE(recorded) << error;
    testing::internal::CaptureStdout();
    game->play(*recorded);
    while (!game->finished()) frame(33);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(game->replayMatched());
    EXPECT_EQ(World::hex(game->world().stateHash()), ended);
    EXPECT_NE(printed.str().find("replayed 120 ticks, state " + ended + "\n"), std::string::npos);
    EXPECT_EQ(book->recent().size(), 2u) << "a round played back is not scored again";
    Replay nothing = *recorded;
    nothing.inputs.clear();
    testing::internal::CaptureStdout();
    game->play(nothing);
    frame(20);
    frame(20);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(game->finished()) << "a recording of no ticks ends at once";
    EXPECT_NE(printed.str().find("replayed 0 ticks"), std::string::npos);
}

}  // namespace
