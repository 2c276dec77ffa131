#include "game/Game.h"

#include "effects/ParticleSystem.h"
#include "entities/EnemyManager.h"
#include "entities/Player.h"
#include "entities/Projectile.h"
#include "entities/Rabbit.h"
#include "game/GameStateManager.h"
#include "game/ObjectTags.h"
#include "effects/Hud.h"
#include "game/ScoreBook.h"
#include "support/GlContext.h"
#include "support/TempDirectory.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

using GamePauseTest = testsupport::GlTest;

// Pause and the score book through whole frames of a small game with a clock the test sets. One test,
// because a game is expensive to build.
TEST_F(GamePauseTest, PauseFreezesTheRoundWhileFramesDrawAndFinishedRoundsReachTheScoreBook) {
    int32_t now = 1000;
    Game game(
        320.0f / 240.0f, 320, 240, [&now] { return now; }, [] { return 777u; });
    testing::internal::CaptureStdout();  // the landscape's triangle counts
    game.init();
    testsupport::TempDirectory folder;
    std::ostringstream report;
    game.scoreBook = std::make_shared<ScoreBook>(folder.path(), report);
    int scenePasses = 0;
    game.onScenePass = [&scenePasses](const glm::vec4&, float) { ++scenePasses; };
    auto frame = [&](int ms, float cursorX = 0.0f) {
        now += ms;
        game.update(cursorX, 0.0f, std::vector<int>(kPlayerKeyCount, 0));
    };
    auto showing = [&game](const std::string& text) {
        const auto rows = game.visibleRows();
        return std::any_of(rows.begin(), rows.end(), [&](const HudText& row) { return row.text == text; });
    };

    frame(20);
    game.spawnProjectile(glm::vec3(0, 0, -6), game.player->position + glm::vec3(0, 6, 0), 1.0f,
                         tags::kPlayerProjectile);
    const auto shot = Projectile::projectiles.back();
    frame(20);
    // Where everything that moves on its own stands.
    auto world = [&] {
        const btVector3 body = shot->rigidBody->getWorldTransform().getOrigin();
        std::vector<glm::vec3> places = {game.player->position, glm::vec3(body.x(), body.y(), body.z()),
                                         glm::vec3(shot->age, game.playerParticles->time, 0)};
        for (const auto& rabbit : game.enemyManager->rabbits) places.push_back(rabbit->position);
        return places;
    };
    const int timeLeft = game.gameState->timeLeft;
    const glm::vec2 look = game.lookOffset;
    const auto before = world();

    game.pause.toggle();
    scenePasses = 0;
    for (int i = 0; i < 3; ++i) frame(5000, 150.0f * i);  // the free cursor wanders about
    EXPECT_GT(scenePasses, 0) << "paused frames must still draw";
    EXPECT_TRUE(showing("Paused"));
    EXPECT_EQ(game.gameState->timeLeft, timeLeft);
    EXPECT_EQ(world(), before);
    EXPECT_EQ(game.lookOffset, look);

    game.pause.toggle();
    frame(20, 500.0f);  // the cursor caught again somewhere else: no jolt
    EXPECT_FALSE(showing("Paused"));
    EXPECT_EQ(game.gameState->timeLeft, timeLeft - 20);
    EXPECT_FLOAT_EQ(shot->age, before[2].x + 0.02f);
    EXPECT_EQ(game.lookOffset, look);

    // The round runs out: it goes into the score book and the game-over rows show the best score.
    game.gameState->score = 12;
    frame(70000);
    ASSERT_TRUE(game.gameOver);
    EXPECT_EQ(game.hudTexts.back().text, "New best score!");
    ScoreBook reread(folder.path(), report);
    reread.load();
    EXPECT_EQ(reread.best(), 12);
    ASSERT_EQ(reread.recent().size(), 1u);
    EXPECT_EQ(reread.recent().front().seconds, 60);

    game.reset();
    EXPECT_EQ(game.hudTexts.size(), 5u);
    game.gameState->score = 3;
    game.gameState->health = 0.0f;
    frame(1600);
    const HudText& best = game.hudTexts.back();
    EXPECT_EQ(best.text, "Best score: 12");
    EXPECT_FLOAT_EQ(best.x + game.hud->textWidth(best.text, best.scale) / 2.0f, 160.0f) << "centred";
    reread.load();
    EXPECT_EQ(reread.recent().back().seconds, 2) << "1.6 seconds played";
    EXPECT_EQ(report.str(), "");
    testing::internal::GetCapturedStdout();
}

}  // namespace
