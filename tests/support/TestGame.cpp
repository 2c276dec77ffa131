#include "support/TestGame.h"

#include <cmath>

namespace testsupport {

Game::Setup TestGame::setup(int width, int height) {
    Game::Setup gameSetup;
    gameSetup.width = width;
    gameSetup.height = height;
    gameSetup.quality = GraphicsQuality::forLevel(QualityLevel::Low, 0);
    gameSetup.start.seed = 777;
    gameSetup.nextSeeds = [this] {
        ++seeds;
        return 777u;
    };
    gameSetup.clock = [this] { return now; };
    gameSetup.out = &printed;
    gameSetup.gameVersion = "1.0.0";
    return gameSetup;
}

void TestGame::build(const Game::Setup& gameSetup) {
    testing::internal::CaptureStdout();
    game = std::make_unique<Game>(gameSetup);
    printed << testing::internal::GetCapturedStdout();
}

void TestGame::frame(double ms, const glm::vec2& cursor, std::initializer_list<PlayerKey> held) {
    now += static_cast<int64_t>(std::llround(ms * 1e6));
    Game::FrameInput input{cursor, std::vector<int>(kPlayerKeyCount, 0)};
    for (PlayerKey key : held) input.keys[key] = 1;
    game->frame(input);
}

std::string TestGame::rows() const {
    std::string text;
    for (const HudText& row : game->hudRows().rows()) text += row.text + "|";
    return text;
}

}  // namespace testsupport
