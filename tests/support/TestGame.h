#pragma once

#include "game/Game.h"
#include "support/GlContext.h"

#include <memory>
#include <sstream>
#include <string>

namespace testsupport {

// Game tests build a small game (320 × 240 unless asked) on a fixed landscape with a clock the test
// moves, and play whole frames of it. A game takes seconds to build on a software renderer, so each
// test plays a stretch of rounds.
class TestGame : public GlTest {
protected:
    // The setup every test starts from: seed 777 for every world, the low level, the test's clock.
    Game::Setup setup(int width = 320, int height = 240);
    // Builds the game (its triangle counts go to `printed`).
    void build(const Game::Setup& gameSetup);
    // One frame `ms` milliseconds after the last, with the cursor at `cursor` and the keys `held`.
    void frame(double ms, const glm::vec2& cursor = glm::vec2(0.0f), std::initializer_list<PlayerKey> held = {});
    // The HUD rows' texts joined by "|".
    std::string rows() const;

    std::unique_ptr<Game> game;
    int64_t now = 1000000000;  // the steady clock, in nanoseconds
    int seeds = 0;             // how often the game asked for a world's seed after the first
    std::ostringstream printed;
};

}  // namespace testsupport
