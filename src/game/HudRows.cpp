#include "game/HudRows.h"

#include "game/RoundSummary.h"
#include "world/GameStateManager.h"

namespace {

const glm::vec4 kGold(1.0f, 0.84f, 0.3f, 1.0f);
const glm::vec4 kRed(1.0f, 0.36f, 0.26f, 1.0f);
const glm::vec4 kQuiet(0.86f, 0.83f, 0.76f, 1.0f);

}  // namespace

HudRows::HudRows(int width, int height, float scale, HudLayout::Font measures)
    : placement(width, height, scale, measures), hudScale(scale), font(std::move(measures)) {
    const GameStateManager fresh;
    texts[0] = fresh.getTimeText();
    texts[1] = fresh.getHealthText();
    texts[2] = fresh.getScoreText();
    place();
}

void HudRows::layout(int width, int height) {
    placement = HudLayout(width, height, hudScale, font);
    place();
}

void HudRows::place() {
    shown.clear();
    for (int i = 0; i < 5; ++i) shown.push_back(placement.cornerRow(i, texts[i]));
    if (panelLines.empty()) return;
    const HudLayout::Panel panel = placement.panel(panelLines);
    panelBox = panel.backdrop;
    shown.insert(shown.end(), panel.rows.begin(), panel.rows.end());
}

void HudRows::update(const GameStateManager& round, bool roundOver, int fps, bool showDiagnostics) {
    if (!roundOver) {
        texts[0] = round.getTimeText();
        texts[1] = round.getHealthText();
        texts[2] = round.getScoreText();
    }
    texts[3] = showDiagnostics ? std::to_string(fps) + "fps" : "";
    for (int i = 0; i < 4; ++i) shown[i] = placement.cornerRow(i, texts[i]);
}

void HudRows::updateCulledRow(int culled, bool culling, bool showDiagnostics) {
    texts[4] = showDiagnostics ? "Culled objects: " + (culling ? std::to_string(culled) : std::string("disabled")) : "";
    shown[4] = placement.cornerRow(4, texts[4]);
}

void HudRows::endRound(const GameStateManager& round, const RoundSummary& summary, const std::string& best,
                       const std::vector<int>& lastScores) {
    texts[0] = round.getTimeText();
    texts[1] = round.getHealthText();
    texts[2] = round.getScoreText();
    const bool knockedOut = summary.end() == RoundSummary::End::KnockedOut;
    panelLines = {{summary.reasonText(), 1.4f, knockedOut ? kRed : kGold, 1.0f}, {round.getScoreText(), 3.0f}};
    for (const std::string& stat : summary.statTexts()) panelLines.push_back({stat, 0.7f, HudText::kInk, 0.6f});
    if (!best.empty()) panelLines.push_back({best, 1.0f, best == "New best score!" ? kGold : HudText::kInk, 1.6f});
    if (!lastScores.empty()) {
        std::string last = "Last rounds:";
        for (const int score : lastScores) last += "  " + std::to_string(score);
        panelLines.push_back({last, 0.7f, kQuiet, 0.6f});
    }
    panelLines.push_back({"Press R to start over", 1.5f, HudText::kInk, 2.0f});
    place();
}

void HudRows::startRound() {
    panelLines.clear();
    place();
}

void HudRows::setHudScale(float scale) {
    hudScale = scale;
    layout(placement.width(), placement.height());
}

std::vector<HudText> HudRows::visibleRows(bool paused) const {
    if (panelShown()) return std::vector<HudText>(shown.begin() + 5, shown.end());
    std::vector<HudText> rows = shown;
    if (paused) {
        // Below the diagnostic rows, above the cat.
        const float u = placement.unit(), top = static_cast<float>(placement.height()) - 200.0f * u;
        rows.push_back(placement.centredRow("Paused", top, 2.0f * u));
        rows.push_back(placement.centredRow("Press P to play on", top - 70.0f * u, u));
    }
    return rows;
}
