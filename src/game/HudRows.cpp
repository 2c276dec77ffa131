#include "game/HudRows.h"

#include "world/GameStateManager.h"

HudRows::HudRows(int w, int h, TextWidth measure) : width(w), height(h), textWidth(std::move(measure)) {
    const GameStateManager fresh;
    const float right = static_cast<float>(width), top = static_cast<float>(height);
    shown = {
        {100.0f, 200.0f, 1.0f, fresh.getTimeText()},  {100.0f, 150.0f, 1.0f, fresh.getHealthText()},
        {100.0f, 100.0f, 1.0f, fresh.getScoreText()}, {100.0f, top - 100.0f, 1.0f, ""},
        {right - 450.0f, top - 100.0f, 1.0f, ""},
    };
}

void HudRows::layout(int w, int h) {
    width = w;
    height = h;
    const float right = static_cast<float>(width), top = static_cast<float>(height);
    shown[3].x = 100.0f;
    shown[3].y = top - 100.0f;
    shown[4].x = right - 450.0f;
    shown[4].y = top - 100.0f;
    if (shown.size() < 7) return;
    shown[5].x = static_cast<float>(width / 2 - 240);
    shown[5].y = static_cast<float>(height / 2 - 30);
    shown[6].x = static_cast<float>(width / 2 - 280);
    shown[6].y = static_cast<float>(height / 2 - 100);
    if (shown.size() > 7) shown[7] = centredRow(shown[7].text, height / 2 - 160, shown[7].scale);
}

void HudRows::update(const GameStateManager& round, bool roundOver, int fps, bool showDiagnostics) {
    if (!roundOver) {
        shown[0].text = round.getTimeText();
        shown[1].text = round.getHealthText();
        shown[2].text = round.getScoreText();
    }
    shown[3].text = showDiagnostics ? std::to_string(fps) + "fps" : "";
}

void HudRows::updateCulledRow(int culled, bool culling, bool showDiagnostics) {
    shown[4].text =
        showDiagnostics ? "Culled objects: " + (culling ? std::to_string(culled) : std::string("disabled")) : "";
}

void HudRows::endRound(const GameStateManager& round, const std::string& best) {
    shown[0].text = round.getTimeText();
    shown[1].text = round.getHealthText();
    shown[2].text = round.getScoreText();
    shown.push_back({0.0f, 0.0f, 3.0f, round.getScoreText()});
    shown.push_back({0.0f, 0.0f, 1.5f, "Press R to start over"});
    if (!best.empty()) shown.push_back({0.0f, 0.0f, 1.0f, best});
    layout(width, height);
}

void HudRows::startRound() { shown.resize(5); }

HudText HudRows::centredRow(const std::string& text, int y, float scale) const {
    const float wide = textWidth ? textWidth(text, scale) : 0.0f;
    return {static_cast<float>(width / 2) - wide / 2.0f, static_cast<float>(y), scale, text};
}

std::vector<HudText> HudRows::visibleRows(bool paused) const {
    std::vector<HudText> rows = shown;
    if (paused) {
        // Above the game-over rows, which stand around the middle.
        rows.push_back(centredRow("Paused", height * 3 / 4, 2.0f));
        rows.push_back(centredRow("Press P to play on", height * 3 / 4 - 50, 1.0f));
    }
    return rows;
}
