#include "game/Game.h"

#include "entities/EnemyManager.h"
#include "entities/Player.h"
#include "entities/Rabbit.h"
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
    frame(0);  // the frame after the first picture plays no tick
    game->fire();
    frame(20, {0, 0}, {kKeyW});
    EXPECT_FALSE(game->pictureStill()) << "playing";
    const uint64_t before = game->world().stateHash();
    const glm::vec2 look = game->lookOffset();
    game->pause().toggle();
    scenePasses = 0;
    for (int i = 0; i < 3; ++i) frame(5000, {150.0f * i, 0});  // the free cursor wanders about
    EXPECT_GT(scenePasses, 0) << "paused frames still draw";
    EXPECT_TRUE(game->pictureStill()) << "paused, nothing fading";
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
    EXPECT_TRUE(showing(score > 0 ? "New best score!" : "Best score: 0"));
    EXPECT_TRUE(showing("Last rounds:  " + std::to_string(score)));
    frame(50);
    EXPECT_EQ(printed.str().find("recorded", printed.str().find("recorded") + 1), std::string::npos) << "once";

    // R in the frame whose tick ends the next round: the round is scored first, then the new world comes.
    game->newWorld();
    game->pause().toggle();
    EXPECT_FALSE(game->pictureStill()) << "paused, but a new world waits to be built";
    game->pause().toggle();
    frame(20);
    frame(20);  // the frame after the new world's first picture plays no tick
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

// The nearest standing rabbit on the ground, if any.
const Rabbit* nearestRabbit(const World& world) {
    const Rabbit* nearest = nullptr;
    for (const auto& rabbit : world.enemies()->rabbits) {
        const float d = glm::length(rabbit->position - world.player()->position);
        if (rabbit->visible && (!nearest || d < glm::length(nearest->position - world.player()->position)))
            nearest = rabbit.get();
    }
    return nearest;
}

// A scripted round of three seconds: the cat stands and fires at the nearest rabbit every tenth tick
// while a rabbit just ahead fires back. The panel's numbers are what the world did, and every hit and
// fall showed on the HUD in the frame it happened.
TEST_F(GameRoundsTest, TheRoundPanelCountsWhatTheWorldDidAndTheHudShowsHitsAsTheyHappen) {
    Game::Setup gameSetup = setup();
    gameSetup.start.roundSeconds = 3;
    int fired = 0;
    Game* playing = nullptr;
    gameSetup.script = [&](uint64_t tick) {
        TickInput input;
        const World& world = playing->world();
        if (const Rabbit* rabbit = nearestRabbit(world)) {
            const glm::vec3 toward = rabbit->position + glm::vec3(0.0f, 0.4f, 0.0f) - world.eye().position;
            input.aim = glm::normalize(glm::transpose(glm::mat3(world.eye().getRotationMatrix())) * toward);
            input.fire = tick % 10 == 5 && !world.roundOver();
        }
        fired += input.fire;
        return input;
    };
    build(gameSetup);
    playing = game.get();
    game->stage([](World& world) {
        world.putCat(world.player()->position, 0.0f, -0.6f, false);  // the eye high, looking over the cat
        Rabbit& rabbit = *world.enemiesForStaging().rabbits.front();
        rabbit.setPosition(world.player()->position + glm::vec3(4.0f, 0.5f, -4.0f));  // clear of the cat
        rabbit.timeSinceSeen = 0.0f;
        rabbit.shotCountdown = 0.2f;
    });
    frame(0);
    int hits = 0, downed = 0, hurt = 0;
    float health = 1.0f;
    const auto shown = [&](const std::string& text) {
        const auto& rows = game->overlayRows();
        return std::any_of(rows.begin(), rows.end(), [&](const HudText& row) { return row.text == text; });
    };
    while (!game->gameOver()) {
        frame(50);
        const RoundSummary& summary = game->roundSummary();
        if (game->gameOver()) break;
        if (summary.shotsHit() > hits) {
            EXPECT_FALSE(game->overlayShapes().empty()) << "the hit marker";
        }
        if (summary.rabbitsDowned() > downed) {
            EXPECT_TRUE(shown("+5"));
        }
        if (game->world().round().health < health) {
            EXPECT_GE(game->overlayShapes().vertices().size(), 24u + 6u) << "the flash and the marker";
            ++hurt;
        }
        hits = summary.shotsHit();
        downed = summary.rabbitsDowned();
        health = game->world().round().health;
    }
    const RoundSummary& summary = game->roundSummary();
    const World& world = game->world();
    int hitsTaken = 0, fallen = 0;
    for (const auto& rabbit : world.enemies()->rabbits) {
        hitsTaken += rabbit->visible ? 3 - rabbit->hitPoints : 4;
        fallen += !rabbit->visible;
    }
    EXPECT_EQ(summary.end(), RoundSummary::End::TimeUp);
    EXPECT_EQ(summary.shotsFired(), fired);
    EXPECT_EQ(summary.shotsHit(), hitsTaken);
    EXPECT_EQ(summary.rabbitsDowned(), fallen);
    EXPECT_EQ(summary.diamonds(), world.round().score - 5 * fallen);
    EXPECT_GE(summary.rabbitsDowned(), 1)
        << "the script downs the rabbit ahead: " << fired << " fired, " << summary.shotsHit() << " hit";
    EXPECT_GE(hurt, 1) << "the rabbit should hit the cat";
    EXPECT_EQ(summary.secondsSurvived(), 3);
    EXPECT_TRUE(shown("Shots " + std::to_string(fired) + "   Hits " + std::to_string(hitsTaken) + " (" +
                      std::to_string((hitsTaken * 100 + fired / 2) / fired) + "%)"));
}

}  // namespace
