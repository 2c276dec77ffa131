#include "effects/Hud.h"

#include "render/GlContextState.h"
#include "render/ResourceFailure.h"
#include "render/ResourcePath.h"
#include "render/WholeFile.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cstdlib>
#include <iostream>

namespace {

// Far above any font the HUD may use (DejaVu Sans Bold is under 1 MiB).
constexpr size_t kMaxFontBytes = 64u << 20;

// One rendered character before the atlas is laid out: its cell metrics and the cell's pixels
// (width × rows, margin included, rows top first).
struct Cell {
    Glyph glyph;
    std::vector<unsigned char> pixels;
};

// Renders the character `code` of `face` into a cell with a transparent margin around the ink. False
// when FreeType cannot load it.
bool renderCell(FT_Face face, unsigned long code, int margin, Cell& cell) {
    if (FT_Load_Char(face, code, FT_LOAD_RENDER) != 0) return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    Glyph& glyph = cell.glyph;
    glyph = Glyph{};
    glyph.advanceX = static_cast<int>(slot->advance.x >> 6);
    glyph.advanceY = static_cast<int>(slot->advance.y >> 6);
    glyph.bearingTop = slot->bitmap_top;
    glyph.bearingLeft = slot->bitmap_left;
    const int width = static_cast<int>(bitmap.width);
    const int rows = static_cast<int>(bitmap.rows);
    if (width == 0 || rows == 0) return true;  // no ink (the space): an empty cell

    glyph.width = width + 2 * margin;
    glyph.rows = rows + 2 * margin;
    glyph.bearingTop += margin;
    glyph.bearingLeft -= margin;
    cell.pixels.assign(static_cast<size_t>(glyph.width) * glyph.rows, 0);
    // Rows may be padded (pitch > width) or stored bottom first (negative pitch).
    const int pitch = std::abs(bitmap.pitch);
    for (int y = 0; y < rows; ++y) {
        const int sourceRow = bitmap.pitch >= 0 ? y : rows - 1 - y;
        const unsigned char* source = bitmap.buffer + static_cast<size_t>(sourceRow) * pitch;
        std::copy(source, source + width, cell.pixels.begin() + (y + margin) * glyph.width + margin);
    }
    return true;
}

// Lays the cells out side by side, top-aligned, and uploads them as one single-channel texture.
void buildAtlas(std::vector<Cell>& cells, GlyphAtlas& atlas) {
    for (Cell& cell : cells) {
        cell.glyph.atlasX = atlas.atlasWidth;
        atlas.atlasWidth += cell.glyph.width;
        atlas.atlasHeight = std::max(atlas.atlasHeight, cell.glyph.rows);
    }
    // Zero-filled, so margins and the space below short cells are transparent.
    std::vector<unsigned char> image(static_cast<size_t>(atlas.atlasWidth) * atlas.atlasHeight, 0);
    for (size_t i = 0; i < cells.size(); ++i) {
        const Glyph& glyph = cells[i].glyph;
        for (int y = 0; y < glyph.rows; ++y) {
            const auto source = cells[i].pixels.begin() + static_cast<size_t>(y) * glyph.width;
            std::copy(source, source + glyph.width,
                      image.begin() + static_cast<size_t>(y) * atlas.atlasWidth + glyph.atlasX);
        }
        atlas.glyphs[i] = glyph;
    }

    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // rows of one-byte texels are not 4-byte aligned
    glActiveTexture(GL_TEXTURE0);
    glGenTextures(1, &atlas.texture);
    glBindTexture(GL_TEXTURE_2D, atlas.texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, atlas.atlasWidth, atlas.atlasHeight, 0, GL_RED, GL_UNSIGNED_BYTE,
                 image.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
}

}  // namespace

Hud::Hud(int windowWidth, int windowHeight)
    : projection(
          glm::ortho(0.0f, static_cast<float>(windowWidth), 0.0f, static_cast<float>(windowHeight), -1.0f, 1.0f)) {
    loadFont(font);
    shader = std::make_shared<HudShader>();
    programId = shader->init();
    shapeShader = std::make_shared<HudShader>(true);
    shapeShader->init();
    // Drivers finish a program at its first draw: the first hit's flash would stall a frame (about
    // 50 ms under llvmpipe). A shape of no area, drawn now, builds it and leaves no pixel.
    HudShapes nothing;
    nothing.rect({0.0f, 0.0f}, {0.0f, 0.0f}, glm::vec4(0.0f));
    setText({}, nothing);
    draw();
    setText({});
    built = false;
}

void Hud::resize(int windowWidth, int windowHeight) {
    projection = glm::ortho(0.0f, static_cast<float>(windowWidth), 0.0f, static_cast<float>(windowHeight), -1.0f, 1.0f);
}

Hud::~Hud() {
    if (!hasCurrentGlContext()) return;
    if (vbo != 0) glDeleteBuffers(1, &vbo);
    if (colorVbo != 0) glDeleteBuffers(1, &colorVbo);
    if (vao != 0) glDeleteVertexArrays(1, &vao);
    if (font.texture != 0) glDeleteTextures(1, &font.texture);
}

void Hud::loadFont(GlyphAtlas& atlas) {
    if (atlas.texture != 0) glDeleteTextures(1, &atlas.texture);
    atlas = GlyphAtlas{};

    // The game has no HUD without its font: a font that cannot be read stops it before the round.
    const std::string path = resourceRoot() + "/res/hud_font.ttf";
    const WholeFile file = WholeFile::read(path, kMaxFontBytes);
    if (!file.ok()) refuseResource("Cannot load font " + path + ": " + file.reason);
    FT_Library library = nullptr;
    if (FT_Error error = FT_Init_FreeType(&library)) {
        refuseResource("Cannot load font " + path + ": FreeType does not start (error " + std::to_string(error) + ")");
    }
    FT_Face face = nullptr;
    FT_Error error = FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(file.content.data()),
                                        static_cast<FT_Long>(file.content.size()), 0, &face);
    if (!error) error = FT_Set_Pixel_Sizes(face, 0, fontPixelSize);
    if (error) {
        refuseResource("Cannot load font " + path + ": not a font FreeType can use at " +
                       std::to_string(fontPixelSize) + " pixels (error " + std::to_string(error) + ")");
    }

    // Every character is rendered once and kept until the layout is known, so the atlas is sized
    // from exactly the bitmaps that go into it.
    std::vector<Cell> cells(GlyphAtlas::glyphCount);
    for (int i = 0; i < GlyphAtlas::glyphCount; ++i) {
        const unsigned long code = static_cast<unsigned long>(GlyphAtlas::firstCode + i);
        if (!renderCell(face, code, glyphMargin, cells[i])) {
            std::cout << "ERROR: Failed to load FT_Glyph for character " << static_cast<char>(code) << std::endl;
            cells[i] = Cell{};
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    buildAtlas(cells, atlas);
}

void Hud::setText(std::vector<HudText> rows, const HudShapes& shapes) {
    // Built aside so that a rejected row leaves the text on screen unchanged.
    std::vector<glm::vec4> mesh, tints;
    for (const HudShapes::Vertex& vertex : shapes.vertices()) {
        mesh.emplace_back(vertex.at, -1.0f, -1.0f);  // no glyph: the shapes' program fills it flat
        tints.push_back(vertex.color);
    }
    const int shapeVertices = static_cast<int>(mesh.size());
    for (const HudText& row : rows) appendRow(row, mesh, tints);
    shapeVertexCount = shapeVertices;
    vertices = std::move(mesh);
    colors = std::move(tints);
    upload();
    built = true;
}

float Hud::textWidth(const std::string& text, float scale) const {
    float width = 0.0f;
    for (const char character : text) {
        const int index = static_cast<unsigned char>(character) - GlyphAtlas::firstCode;
        if (index >= 0 && index < GlyphAtlas::glyphCount) width += font.glyphs[index].advanceX * scale;
    }
    return width;
}

float Hud::ascent() const {
    int top = 0;
    for (const Glyph& glyph : font.glyphs) top = std::max(top, glyph.bearingTop - glyphMargin);
    return static_cast<float>(top);
}

float Hud::descent() const {
    int below = 0;
    for (const Glyph& glyph : font.glyphs) {
        if (glyph.rows > 0) below = std::max(below, glyph.rows - glyph.bearingTop - glyphMargin);
    }
    return static_cast<float>(below);
}

void Hud::appendRow(const HudText& row, std::vector<glm::vec4>& mesh, std::vector<glm::vec4>& tints) const {
    float cursorX = row.x;
    float cursorY = row.y;
    const float s = row.scale;
    for (const char character : row.text) {
        const int code = static_cast<unsigned char>(character);
        if (code < GlyphAtlas::firstCode) throw -1;                            // callers only pass printable text
        if (code >= GlyphAtlas::firstCode + GlyphAtlas::glyphCount) continue;  // no glyph: skipped

        const Glyph& g = font.glyphs[code - GlyphAtlas::firstCode];
        const float left = cursorX + g.bearingLeft * s;
        const float top = cursorY + g.bearingTop * s;
        const float w = g.width * s;
        const float h = g.rows * s;
        cursorX += g.advanceX * s;
        cursorY += g.advanceY * s;
        if (w == 0.0f || h == 0.0f) continue;

        // A cell is nonempty only in a non-empty atlas, so the sizes below are never zero.
        const float uLeft = static_cast<float>(g.atlasX) / font.atlasWidth;
        const float uRight = static_cast<float>(g.atlasX + g.width) / font.atlasWidth;
        const float vBottom = static_cast<float>(g.rows) / font.atlasHeight;
        mesh.insert(mesh.end(), {{left + w, top, uRight, 0.0f},
                                 {left, top, uLeft, 0.0f},
                                 {left, top - h, uLeft, vBottom},
                                 {left + w, top - h, uRight, vBottom},
                                 {left + w, top, uRight, 0.0f},
                                 {left, top - h, uLeft, vBottom}});
        tints.insert(tints.end(), 6, row.color);
    }
}

void Hud::upload() {
    if (vao == 0) {
        glGenVertexArrays(1, &vao);
        glGenBuffers(1, &vbo);
        glGenBuffers(1, &colorVbo);
        glBindVertexArray(vao);
        glBindBuffer(GL_ARRAY_BUFFER, vbo);
        glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, sizeof(glm::vec4), nullptr);
        glEnableVertexAttribArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, colorVbo);
        glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, sizeof(glm::vec4), nullptr);
        glEnableVertexAttribArray(1);
        glBindVertexArray(0);
    }
    // New storage every time (orphaning): the driver need not wait for last frame's draw to finish
    // reading the old text, and the buffers and vertex array are kept for the whole game.
    const auto bytes = static_cast<GLsizeiptr>(vertices.size() * sizeof(glm::vec4));
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, bytes, vertices.data(), GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, colorVbo);
    glBufferData(GL_ARRAY_BUFFER, bytes, colors.data(), GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void Hud::draw() {
    if (!built) return;
    // Text goes over everything; the scene's depth must not hide it.
    const GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindVertexArray(vao);
    // The shapes lie under the text.
    if (shapeVertexCount > 0) {
        glUseProgram(shapeShader->programId);
        glUniformMatrix4fv(shapeShader->projMatrixLocation, 1, GL_FALSE, &projection[0][0]);
        glDrawArrays(GL_TRIANGLES, 0, shapeVertexCount);
    }
    glUseProgram(programId);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, font.texture);
    glUniformMatrix4fv(shader->projMatrixLocation, 1, GL_FALSE, &projection[0][0]);
    glUniform1i(shader->textLocation, 0);
    if (vertexCount() > shapeVertexCount)
        glDrawArrays(GL_TRIANGLES, shapeVertexCount, vertexCount() - shapeVertexCount);
    glBindVertexArray(0);
    glUseProgram(0);
    // Left on, blending would fringe the next frame's scene and cost every fragment a blend.
    glDisable(GL_BLEND);
    if (depthTest) glEnable(GL_DEPTH_TEST);
}
