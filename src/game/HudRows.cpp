#include "game/HudRows.h"

#include "app/Globals.h"
#include "effects/Hud.h"
#include "game/Game.h"
#include "game/GameStateManager.h"
#include "game/ScoreBook.h"

namespace {

std::string culledObjectsText() {
    return "Culled objects: " + (cullingEnabled ? std::to_string(culledObjectCount) : std::string("disabled"));
}

}  // namespace

std::vector<HudText> HudRows::firstRows() const {
    const GameStateManager& state = *game.gameState;
    const float right = static_cast<float>(game.windowWidth()), top = static_cast<float>(game.windowHeight());
    return {
        {100.0f, 200.0f, 1.0f, state.getTimeText()},
        {100.0f, 150.0f, 1.0f, state.getHealthText()},
        {100.0f, 100.0f, 1.0f, state.getScoreText()},
        {100.0f, top - 100.0f, 1.0f, ""},
        {right - 450.0f, top - 100.0f, 1.0f, culledObjectsText()},
    };
}

void HudRows::layout() {
    std::vector<HudText>& rows = game.hudTexts;
    const int width = game.windowWidth(), height = game.windowHeight();
    const float right = static_cast<float>(width), top = static_cast<float>(height);
    rows[3].x = 100.0f;
    rows[3].y = top - 100.0f;
    rows[4].x = right - 450.0f;
    rows[4].y = top - 100.0f;
    if (rows.size() < 7) return;
    rows[5].x = static_cast<float>(width / 2 - 240);
    rows[5].y = static_cast<float>(height / 2 - 30);
    rows[6].x = static_cast<float>(width / 2 - 280);
    rows[6].y = static_cast<float>(height / 2 - 100);
    if (rows.size() > 7) rows[7] = centredRow(rows[7].text, height / 2 - 160, rows[7].scale);
}

void HudRows::update() {
    std::vector<HudText>& rows = game.hudTexts;
    const GameStateManager& state = *game.gameState;
    if (!game.gameOver) {
        if (state.health <= 0.0f || state.timeLeft == 0) endRound();
        rows[0].text = state.getTimeText();
        rows[1].text = state.getHealthText();
        rows[2].text = state.getScoreText();
    }
    rows[3].text = showDiagnostics ? std::to_string(game.fps) + "fps" : "";
}

void HudRows::endRound() {
    std::vector<HudText>& rows = game.hudTexts;
    const GameStateManager& state = *game.gameState;
    rows.push_back({0.0f, 0.0f, 3.0f, state.getScoreText()});
    rows.push_back({0.0f, 0.0f, 1.5f, "Press R to start over"});
    if (game.scoreBook) rows.push_back(recordRound());
    layout();
    game.gameOver = true;
    game.sounds->onRoundOver(state.health <= 0.0f);
}

HudText HudRows::centredRow(const std::string& text, int y, float scale) const {
    return {static_cast<float>(game.windowWidth() / 2) - game.hud->textWidth(text, scale) / 2.0f, static_cast<float>(y),
            scale, text};
}

HudText HudRows::recordRound() {
    const int seconds = (Game::kRoundMs - game.gameState->timeLeft + 500) / 1000;
    const bool beaten = game.scoreBook->record(game.gameState->score, seconds);
    return centredRow(beaten ? "New best score!" : "Best score: " + std::to_string(game.scoreBook->best()),
                      game.windowHeight() / 2 - 160, 1.0f);
}

std::vector<HudText> HudRows::visibleRows() const {
    std::vector<HudText> rows = game.hudTexts;
    if (game.pause.paused()) {
        // Above the game-over rows, which stand around the middle.
        const int height = game.windowHeight();
        rows.push_back(centredRow("Paused", height * 3 / 4, 2.0f));
        rows.push_back(centredRow("Press P to play on", height * 3 / 4 - 50, 1.0f));
    }
    return rows;
}

void HudRows::updateCulledRow() { game.hudTexts[4].text = showDiagnostics ? culledObjectsText() : ""; }
