#include "game/Game.h"

#include "entities/EnemyManager.h"
#include "entities/Item.h"
#include "entities/ItemManager.h"
#include "entities/Player.h"
#include "game/ScoreBook.h"
#include "physics/BulletMath.h"
#include "support/HeardSounds.h"
#include "support/TempDirectory.h"
#include "support/TestGame.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

namespace {

// Two seconds of play, tick by tick: walk (onto a diamond), turn, strafe, jump, look about, shoot,
// and dash to the ground ahead; a rabbit ahead shoots at the cat all the while.
TickInput scripted(uint64_t tick) {
    TickInput input;
    if (tick < 20) input.hold(kKeyW);
    if (tick >= 20 && tick < 35) input.hold(kKeyA);
    if (tick >= 35 && tick < 50) {
        input.hold(kKeyLeftShift);
        input.hold(kKeyD);
    }
    if (tick == 50) input.hold(kKeySpace);
    if (tick >= 55 && tick < 70) {
        input.turn = -0.02f;
        input.pitch = 0.01f;
    }
    input.fire = tick == 75;
    input.dash = tick == 90;
    if (tick == 90) input.aim = glm::normalize(glm::vec3(0.0f, -0.3f, -1.0f));
    return input;
}

// The cat at the start facing ahead, a diamond just in front of it and a watchful rabbit further on,
// placed the same way every time.
void setTheScene(World& world) {
    const Player& cat = *world.player();
    world.putCat(cat.position, 0.0f, 0.0f, false);
    Item& diamond = *world.items()->items.front();
    const glm::vec3 ahead = cat.position + glm::vec3(0.0f, 1.0f, -2.5f);
    diamond.setPosition(ahead);
    diamond.rigidBody->setWorldTransform(physics::placedAt(ahead + diamond.bodyOffset));
    Rabbit& rabbit = *world.enemies()->rabbits.front();
    rabbit.setPosition(cat.position + glm::vec3(0.0f, 0.5f, -6.0f));
    rabbit.timeSinceSeen = 0.0f;
    rabbit.shotCountdown = 0.2f;
}

class DeterminismTest : public testsupport::TestGame {};

// The same inputs from the same start give the same world, bit for bit, however the frames fall:
// with frames of 7 ms a tick runs every second or third frame, with 100 ms frames five run in one and
// the frame's rest is dropped. The first world is a fresh one, the others are new worlds in place (R).
TEST_F(DeterminismTest, OneScriptedRoundEndsTheSameAtSevenThirtyThreeAndAHundredMillisecondFrames) {
    testsupport::TempDirectory folder;
    std::ostringstream report;
    Game::Setup gameSetup = setup(160, 120);
    gameSetup.start.roundSeconds = 2;
    gameSetup.script = scripted;
    build(gameSetup);
    auto book = std::make_shared<ScoreBook>(folder.path(), report, [] { return std::time_t(1700000000); });
    game->setScoreBook(book);
    std::vector<uint64_t> states;
    for (double ms : {7.0, 33.0, 100.0}) {
        testing::internal::CaptureStdout();
        if (!states.empty()) {
            game->newWorld();
            frame(0);
        }
        auto sounds = std::make_shared<testsupport::HeardSounds>();
        game->setSounds(sounds);
        game->stage(setTheScene);
        while (!game->gameOver()) frame(ms);
        testing::internal::GetCapturedStdout();
        states.push_back(game->world().stateHash());
        for (const char* happened : {"diamond", "jump", "player shot", "dash", "player hit", "enemy shot", "time up"})
            EXPECT_GT(sounds->count(happened), 0) << happened << " at frames of " << ms << " ms";
    }
    EXPECT_EQ(states[1], states[0]);
    EXPECT_EQ(states[2], states[0]);
    ASSERT_EQ(book->recent().size(), 3u);
    for (const ScoreBook::Round& round : book->recent()) {
        EXPECT_EQ(round.score, book->recent().front().score);
        EXPECT_EQ(round.seconds, 2);
    }
    EXPECT_GT(book->recent().front().score, 0) << "the diamond";
}

}  // namespace
