#pragma once

#include "effects/Glyph.h"

#include <GL/glew.h>

#include <array>

// All printable ASCII characters (codes 32 to 127) rendered into one single-channel texture, cells
// side by side in one row, top-aligned at y = 0. Empty (texture 0, zero sizes) when no font loaded.
struct GlyphAtlas {
    static constexpr int firstCode = 32;
    static constexpr int glyphCount = 96;

    GLuint texture = 0;
    std::array<Glyph, glyphCount> glyphs{};  // index = character code - firstCode
    int atlasWidth = 0;                      // sum of the cell widths
    int atlasHeight = 0;                     // tallest cell
};
