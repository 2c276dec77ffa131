#pragma once

#include "effects/GlyphAtlas.h"
#include "effects/HudShapes.h"
#include "effects/HudShader.h"
#include "effects/HudText.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <memory>
#include <string>
#include <vector>

// The HUD's text layer: a glyph atlas rendered from "res/hud_font.ttf" and one triangle mesh holding
// every glyph quad of the current rows, drawn in window pixels over the finished frame. Needs the
// current context from construction on; the owner rebuilds the rows every frame.
class Hud {
public:
    // Font size the atlas is rendered at; a row of scale 1 shows glyphs at this size.
    static constexpr int fontPixelSize = 48;
    // Transparent border around each glyph's ink in the atlas. The text shader draws the outline into
    // it, and it keeps the outline taps from reaching the neighbouring glyph.
    static constexpr int glyphMargin = 3;

    // Builds the pixel projection for a window of the given size, the atlas and the text program.
    Hud(int windowWidth, int windowHeight);
    // The pixel projection for a window of the new size (rows keep their pixel positions).
    void resize(int windowWidth, int windowHeight);
    Hud(const Hud&) = delete;
    Hud& operator=(const Hud&) = delete;
    // Frees the mesh and the atlas texture while a context is current; without one (released after
    // the window) the GL objects are left to the driver.
    ~Hud();

    // Fills `atlas` afresh from "res/hud_font.ttf" below the data folder (resourceRoot()), deleting the
    // texture it held. A font that cannot be read or that FreeType cannot use stops the game with its
    // path and the reason (refuseResource); a glyph that fails to load is reported on standard output
    // and left empty. Leaves texture unit 0 active with no 2D texture bound.
    void loadFont(GlyphAtlas& atlas);

    // Replaces the text mesh with the triangles of `shapes` and over them the glyph quads of `rows`.
    // Bytes above 127 have no glyph and are skipped; a control code (below 32) throws -1 and leaves
    // the previous mesh as it was. Leaves no vertex array and no array buffer bound.
    void setText(std::vector<HudText> rows, const HudShapes& shapes = HudShapes());

    // Draws the current mesh, if one was built, over whatever is in the framebuffer, alpha-blended and
    // without depth test. Leaves blending off and the depth test as it found it.
    // Leaves no program and no vertex array bound, the atlas bound on texture unit 0.
    void draw();

    int vertexCount() const { return static_cast<int>(vertices.size()); }
    // How far a row of `text` at `scale` moves the cursor, in pixels (for centring a row).
    float textWidth(const std::string& text, float scale) const;
    // How far the font's ink reaches above and below the baseline at scale 1, in pixels.
    float ascent() const;
    float descent() const;

    std::shared_ptr<HudShader> shader;
    std::shared_ptr<HudShader> shapeShader;
    glm::mat4 projection{1.0f};
    GLuint vao = 0;
    GLuint vbo = 0;
    std::vector<glm::vec4> vertices;  // the flat shapes' triangles (u < 0), then (x, y, u, v), six per visible glyph
    int shapeVertexCount = 0;         // how many of `vertices` are the shapes', drawn by `shapeShader`
    std::vector<glm::vec4> colors;    // one per vertex
    GLuint colorVbo = 0;
    bool built = false;
    GlyphAtlas font;
    GLuint programId = 0;

private:
    // Appends the quads of one row to `mesh`.
    void appendRow(const HudText& row, std::vector<glm::vec4>& mesh, std::vector<glm::vec4>& tints) const;
    // Copies `vertices` into the vertex buffer, creating the vertex array on first use.
    void upload();
};
