#pragma once

#include "effects/HudText.h"
#include "game/HudLayout.h"

#include <string>
#include <vector>

class GameStateManager;
class RoundSummary;

// The HUD's rows: 0 time, 1 health, 2 score, 3 frame rate, 4 culled objects in the corners; once the
// round is over a centred panel after them (why it ended, the score, what the round held, the best
// score, the last rounds, "Press R to start over"), which hides the corner rows while it shows; while
// paused two centred rows more. Placed by a HudLayout for the window's size.
class HudRows {
public:
    HudRows(int width, int height, float hudScale, HudLayout::Font font);

    // Rows 0 to 2 from `round` while it runs (they keep their last text once it is over), row 3 the
    // frame rate when the diagnostics show.
    void update(const GameStateManager& round, bool roundOver, int fps, bool showDiagnostics);
    // Row 4: the objects culled in the last frame, or "disabled" without culling; empty unless the
    // diagnostics show.
    void updateCulledRow(int culled, bool culling, bool showDiagnostics);
    // The round-end panel for `round` as `summary` counted it; `best` ("New best score!" or "Best
    // score: N") and `lastScores` (newest first) are left out when empty.
    void endRound(const GameStateManager& round, const RoundSummary& summary, const std::string& best,
                  const std::vector<int>& lastScores);
    // A new round: the panel goes.
    void startRound();
    // Everything placed for a window of the new size.
    void layout(int width, int height);
    // The player's HUD scale (0.5 to 2) for the same window.
    void setHudScale(float scale);

    const HudLayout& geometry() const { return placement; }
    // Rows 0 to 4, then the panel's.
    const std::vector<HudText>& rows() const { return shown; }
    bool panelShown() const { return !panelLines.empty(); }
    // The dimmed box behind the panel's rows.
    const HudLayout::Box& backdrop() const { return panelBox; }
    // The rows to draw: the panel alone once the round is over, otherwise the corner rows and, while
    // `paused`, the centred pause rows.
    std::vector<HudText> visibleRows(bool paused) const;

private:
    void place();

    HudLayout placement;
    float hudScale;
    HudLayout::Font font;
    std::string texts[5];
    std::vector<HudLayout::Line> panelLines;
    HudLayout::Box panelBox;
    std::vector<HudText> shown;
};
