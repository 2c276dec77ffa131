#pragma once

#include <glm/glm.hpp>

#include <string>

// One row of HUD text: where its first glyph's cursor starts, in window pixels with the origin at the
// bottom-left, how much the 48-pixel atlas glyphs are scaled, and the ink's colour and opacity (the
// dark outline fades with it).
struct HudText {
    static constexpr glm::vec4 kInk{1.0f, 0.96f, 0.86f, 1.0f};

    float x = 0.0f;
    float y = 0.0f;
    float scale = 1.0f;
    std::string text;
    glm::vec4 color = kInk;
};
