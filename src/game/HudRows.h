#pragma once

#include "effects/HudText.h"

#include <string>
#include <vector>

class Game;

// The game's HUD rows (its hudTexts): 0 time, 1 health, 2 score, 3 frame rate, 4 culled objects; once
// the round is over its score, "Press R to start over" and, with a score book, the best score; while
// paused two centred rows more. Places them for the window's size. The game owns it and outlives it.
class HudRows {
public:
    explicit HudRows(Game& game) : game(game) {}

    // The five rows of a round in play.
    std::vector<HudText> firstRows() const;
    // Rows 0 to 3 and, when the round has just ended, the game-over rows, as the frame starts.
    void update();
    // Row 4, the culled-object counter of this frame (shown from the next frame on).
    void updateCulledRow();
    // Rows 3 and 4 and the game-over rows, placed for the window size.
    void layout();
    // The rows to show: the game's and, while paused, the centred pause rows.
    std::vector<HudText> visibleRows() const;

private:
    // Appends the game-over rows and ends the round.
    void endRound();
    // Writes the finished round into the score book and returns the row telling the best score.
    HudText recordRound();
    HudText centredRow(const std::string& text, int y, float scale) const;

    Game& game;
};
