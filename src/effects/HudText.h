#pragma once

#include <string>

// One row of HUD text: where its first glyph's cursor starts, in window pixels with the origin at the
// bottom-left, and how much the 48-pixel atlas glyphs are scaled.
struct HudText {
    float x = 0.0f;
    float y = 0.0f;
    float scale = 1.0f;
    std::string text;
};
