#pragma once

#include "effects/HudText.h"

#include <functional>
#include <string>
#include <vector>

class GameStateManager;

// The HUD's rows: 0 time, 1 health, 2 score, 3 frame rate, 4 culled objects; once the round is over
// its score, "Press R to start over" and, when known, the best score; while paused two centred rows
// more. Placed for the window's size.
class HudRows {
public:
    // How wide a text is at a scale, in pixels (the HUD's font decides).
    using TextWidth = std::function<float(const std::string& text, float scale)>;

    // The five rows of a round in play for a window of `width` × `height`.
    HudRows(int width, int height, TextWidth textWidth);

    // Rows 0 to 2 from `round` while it runs (they keep their last text once it is over), row 3 the
    // frame rate when the diagnostics show.
    void update(const GameStateManager& round, bool roundOver, int fps, bool showDiagnostics);
    // Row 4: the objects culled in the last frame, or "disabled" without culling; empty unless the
    // diagnostics show.
    void updateCulledRow(int culled, bool culling, bool showDiagnostics);
    // The game-over rows: the round's final score, "Press R to start over" and, unless empty, `best`
    // ("New best score!" or "Best score: N").
    void endRound(const GameStateManager& round, const std::string& best);
    // A new round: the game-over rows go.
    void startRound();
    // Rows 3 and 4 and the game-over rows, placed for a window of the new size.
    void layout(int width, int height);

    const std::vector<HudText>& rows() const { return shown; }
    // The rows to show: all of them and, while `paused`, the centred pause rows.
    std::vector<HudText> visibleRows(bool paused) const;

private:
    HudText centredRow(const std::string& text, int y, float scale) const;

    int width;
    int height;
    TextWidth textWidth;
    std::vector<HudText> shown;
};
