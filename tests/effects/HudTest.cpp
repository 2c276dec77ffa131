#include "effects/Hud.h"

#include "support/GlContext.h"
#include "support/OffscreenTarget.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

int brightness(const testsupport::Pixel& pixel) { return (pixel[0] + pixel[1] + pixel[2]) / 3; }

// The HUD of a 160 x 160 window.
class HudTest : public testsupport::GlTest {
protected:
    const Glyph& glyph(char c) const { return hud->font.glyphs[c - GlyphAtlas::firstCode]; }

    std::unique_ptr<Hud> hud = std::make_unique<Hud>(160, 160);
};

TEST_F(HudTest, RowsBecomeSixVerticesPerInkedGlyphAlongTheCursorAndControlCodesAreRefused) {
    hud->setText({{100, 200, 1, "A B"}, {100, 200, 1, ""}, {100, 150, 1, "00:59"}});
    EXPECT_EQ(hud->vertexCount(), 6 * 2 + 6 * 5);
    // Bytes without a glyph move nothing. Vertices 0, 1, 2: top-right, top-left, bottom-left.
    const float s = 2.0f, width = hud->font.atlasWidth, height = hud->font.atlasHeight;
    const Glyph& a = glyph('A');
    const Glyph& b = glyph('B');
    hud->setText({{100, 200, s,
                   "A\xC3\xA9\xFF"
                   "B"}});
    ASSERT_EQ(hud->vertexCount(), 12);
    const glm::vec4 aTopLeft(100 + a.bearingLeft * s, 200 + a.bearingTop * s, a.atlasX / width, 0);
    EXPECT_EQ(hud->vertices[1], aTopLeft);
    EXPECT_EQ(hud->vertices[2], glm::vec4(aTopLeft.x, aTopLeft.y - a.rows * s, aTopLeft.z, a.rows / height));
    EXPECT_EQ(hud->vertices[0], glm::vec4(aTopLeft.x + a.width * s, aTopLeft.y, (a.atlasX + a.width) / width, 0));
    EXPECT_EQ(hud->vertices[7].x, 100 + (a.advanceX + b.bearingLeft) * s);
    EXPECT_THROW(hud->setText({{0, 0, 1, "C"}, {0, 0, 1, "line\n"}}), int);
    EXPECT_EQ(hud->vertexCount(), 12) << "the text shown before stays";
}

TEST_F(HudTest, TextIsLightInkInADarkOutlineOverEverythingAndGoesWithTheHud) {
    testsupport::OffscreenTarget target(160);
    target.clear({128, 128, 128, 255}, 0.0f);  // the scene's depth at its nearest everywhere
    glEnable(GL_DEPTH_TEST);
    hud->setText({{10, 20, 1, "HI"}});
    hud->draw();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    glDisable(GL_DEPTH_TEST);
    // Everything drawn lies in the two capitals' cells, placed from the bottom-left corner.
    const int left = 10 + glyph('H').bearingLeft, right = 10 + glyph('H').advanceX + glyph('I').advanceX + 4;
    const int top = 20 + glyph('H').bearingTop, bottom = 20 - Hud::glyphMargin - 1;
    const std::vector<testsupport::Pixel> pixels = target.pixels();
    int light = 0, dark = 0, stray = 0;
    for (int i = 0; i < 160 * 160; ++i) {
        const int value = brightness(pixels[i]), x = i % 160, y = i / 160;
        light += value > 220;
        dark += value < 40;
        stray += value != 128 && (x < left || x > right || y < bottom || y > top);
    }
    EXPECT_GT(light, 100);
    EXPECT_GT(dark, 50);
    EXPECT_EQ(stray, 0);
    // Along a row through the letters, the first pixel off the background is outline.
    const int y = 20 + glyph('H').bearingTop / 2;
    EXPECT_LT(brightness(*std::find_if(pixels.begin() + y * 160, pixels.end(),
                                       [](const testsupport::Pixel& p) { return brightness(p) != 128; })),
              128);

    // Shapes lie flat under the text, half see-through where asked; a row's colour is its ink's.
    HudShapes shapes;
    shapes.rect({0, 0}, {160, 160}, {0.0f, 0.0f, 1.0f, 0.5f});
    shapes.rect({100, 100}, {160, 160}, {0.0f, 0.0f, 1.0f, 1.0f});
    hud->setText({{10, 20, 1, "HI", {1.0f, 0.0f, 0.0f, 1.0f}}}, shapes);
    target.clear({128, 128, 128, 255});
    hud->draw();
    EXPECT_EQ(target.at(130, 130), (testsupport::Pixel{0, 0, 255, 255}));
    const testsupport::Pixel blended = target.at(130, 90);
    EXPECT_NEAR(blended[0], 64, 2);
    EXPECT_NEAR(blended[2], 191, 2);
    int red = 0;
    for (const testsupport::Pixel& p : target.pixels()) red += p[0] > 200 && p[1] < 40;
    EXPECT_GT(red, 100);
    const GLuint vao = hud->vao, vbo = hud->vbo, texture = hud->font.texture;
    hud.reset();
    EXPECT_FALSE(glIsVertexArray(vao) || glIsBuffer(vbo) || glIsTexture(texture));
}

}  // namespace
