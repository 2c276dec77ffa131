#pragma once

// Placement of one character's cell in the HUD glyph atlas, in atlas pixels. The cell is the
// rendered bitmap plus a transparent margin (see Hud::glyphMargin) so the text shader has room to
// draw an outline around the ink; a character without ink (the space) has an empty cell.
struct Glyph {
    int advanceX = 0;  // cursor step to the next character
    int advanceY = 0;
    int width = 0;        // cell width
    int rows = 0;         // cell height
    int bearingTop = 0;   // from the baseline up to the cell's top row
    int bearingLeft = 0;  // from the cursor to the cell's left column
    int atlasX = 0;       // left column of the cell in the atlas
};
