#pragma once

#include "effects/HudText.h"

#include <glm/glm.hpp>

#include <functional>
#include <string>
#include <vector>

// Where the HUD goes in a window of a given size. Everything is laid out for a 1920 × 1080 window and
// scaled by the window's smaller ratio to it, times the player's `[hud] scale` (up to 1.5: larger, the
// corner rows would reach the cat), but never below a third (16-pixel text), so text stays legible in
// small windows. There, the corner rows stand where
// they always did: time, health and score at (100, 200), (100, 150), (100, 100), the frame rate at
// (100, height − 100) and the culled objects at (width − 450, height − 100), all at scale 1. Rows
// keep inside the safe margins; centred rows are centred on their measured width.
class HudLayout {
public:
    static constexpr float kReferenceWidth = 1920.0f;
    static constexpr float kReferenceHeight = 1080.0f;
    static constexpr float kMinScale = 1.0f / 3.0f;
    static constexpr float kMinHudScale = 0.5f;
    static constexpr float kMaxHudScale = 2.0f;
    static constexpr float kMaxGrowth = 1.5f;

    // The HUD font's measures at scale 1: a text's width, the ink above and below the baseline.
    struct Font {
        std::function<float(const std::string& text, float scale)> width;
        float ascent = 36.0f;
        float descent = 11.0f;
    };

    // A rectangle in window pixels, origin at the bottom-left.
    struct Box {
        float left = 0.0f;
        float bottom = 0.0f;
        float right = 0.0f;
        float top = 0.0f;

        bool overlaps(const Box& other) const {
            return left < other.right && other.left < right && bottom < other.top && other.bottom < top;
        }
        bool contains(const Box& other) const {
            return other.left >= left && other.right <= right && other.bottom >= bottom && other.top <= top;
        }
    };

    // One line of a centred panel: its text, its size relative to the panel's and its colour.
    struct Line {
        std::string text;
        float size = 1.0f;
        glm::vec4 color = HudText::kInk;
        float gapBefore = 1.0f;  // in units of the panel's usual gap
    };

    // The rows of a centred panel and the backdrop behind them.
    struct Panel {
        std::vector<HudText> rows;
        Box backdrop;
    };

    HudLayout(int width, int height, float hudScale, Font font);

    int width() const { return wide; }
    int height() const { return high; }
    // The factor every size and distance of the reference layout is multiplied by.
    float unit() const { return scale; }
    // The area rows keep to.
    Box safeArea() const;
    // Where the cat usually stands on screen (rows keep out of it).
    Box catArea() const;

    // Row 0 time, 1 health, 2 score, 3 frame rate, 4 culled objects, with `text`.
    HudText cornerRow(int row, const std::string& text) const;
    // A row centred on the window's middle with its baseline at `baseline`.
    HudText centredRow(const std::string& text, float baseline, float rowScale,
                       const glm::vec4& color = HudText::kInk) const;
    // The lines stacked from the top, centred, the whole panel centred in the window and shrunk as far
    // as it must be to fit inside the safe margins.
    Panel panel(const std::vector<Line>& lines) const;
    // The ink box of a row.
    Box box(const HudText& row) const;
    float textWidth(const std::string& text, float rowScale) const;
    float ascent(float rowScale) const { return font.ascent * rowScale; }
    float descent(float rowScale) const { return font.descent * rowScale; }

    // The crosshair's half size in normalised device coordinates: (0.03, 0.05) at the reference size.
    glm::vec2 crosshairScale() const;

private:
    int wide;
    int high;
    float scale;
    Font font;
};
