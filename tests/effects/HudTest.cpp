#include "effects/GuiObject.h"
#include "effects/GuiShader.h"
#include "effects/Hud.h"
#include "render/Mesh.h"
#include "render/VaoLoader.h"
#include "support/GlContext.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

using Rgba = std::array<unsigned char, 4>;

// A bound offscreen colour + depth target with a matching viewport, cleared to grey and `depth`.
class OffscreenTarget {
public:
    OffscreenTarget(int width, int height, float depth) : width(width), height(height) {
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glGenRenderbuffers(2, renderbuffers);
        const GLenum formats[] = {GL_RGBA8, GL_DEPTH_COMPONENT24};
        const GLenum attachments[] = {GL_COLOR_ATTACHMENT0, GL_DEPTH_ATTACHMENT};
        for (int i = 0; i < 2; ++i) {
            glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[i]);
            glRenderbufferStorage(GL_RENDERBUFFER, formats[i], width, height);
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachments[i], GL_RENDERBUFFER, renderbuffers[i]);
        }
        glViewport(0, 0, width, height);
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        glClearDepth(depth);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    ~OffscreenTarget() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteRenderbuffers(2, renderbuffers);
        glDeleteFramebuffers(1, &framebuffer);
    }
    std::vector<Rgba> read() const {  // bottom row first
        std::vector<Rgba> pixels(static_cast<size_t>(width) * height);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
    const int width, height;

private:
    GLuint framebuffer = 0;
    GLuint renderbuffers[2] = {0, 0};
};

int brightness(const Rgba& pixel) { return (pixel[0] + pixel[1] + pixel[2]) / 3; }

HudText row(const std::string& text, float x = 100.0f, float y = 200.0f, float scale = 1.0f) {
    return HudText{x, y, scale, text};
}

class HudTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        hud = std::make_unique<Hud>(800, 600);
    }
    const Glyph& glyph(char c) const { return hud->font.glyphs[c - GlyphAtlas::firstCode]; }

    std::unique_ptr<Hud> hud;
};

TEST_F(HudTest, AtlasPacksEveryCharacterInOneRowWithTransparentMargins) {
    const GlyphAtlas& atlas = hud->font;
    std::vector<unsigned char> texels(static_cast<size_t>(atlas.atlasWidth) * atlas.atlasHeight);
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, atlas.texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(atlas.atlasWidth, width);
    EXPECT_EQ(atlas.atlasHeight, height);

    const int m = Hud::glyphMargin;
    int x = 0, tallest = 0, inked = 0;
    for (const Glyph& g : atlas.glyphs) {
        const char c = static_cast<char>(&g - atlas.glyphs.data() + GlyphAtlas::firstCode);
        EXPECT_EQ(x, g.atlasX) << c;
        x += g.width;
        tallest = std::max(tallest, g.rows);
        if (g.width == 0) continue;
        ++inked;
        // Ink only inside the margin, so outlines never pick up a neighbour.
        int border = 0, ink = 0;
        for (int row = 0; row < atlas.atlasHeight; ++row) {
            for (int column = 0; column < g.width; ++column) {
                const bool inside = column >= m && column < g.width - m && row >= m && row < g.rows - m;
                (inside ? ink : border) += texels[static_cast<size_t>(row) * atlas.atlasWidth + g.atlasX + column];
            }
        }
        EXPECT_EQ(0, border) << c;
        EXPECT_GT(ink, 0) << c;
    }
    EXPECT_EQ(atlas.atlasWidth, x);
    EXPECT_EQ(atlas.atlasHeight, tallest);
    EXPECT_GE(inked, 94);
    EXPECT_EQ(0, glyph(' ').width);
    EXPECT_GT(glyph(' ').advanceX, 0);
    EXPECT_GT(glyph('g').rows - glyph('g').bearingTop, m) << "descender reaches below the baseline";
}

TEST_F(HudTest, MissingFontLeavesAnEmptyAtlasAndSaysWhy) {
    testsupport::TempDirectory empty;
    GlyphAtlas atlas;
    {
        testsupport::ScopedWorkingDirectory inEmpty(empty.path());
        testing::internal::CaptureStderr();
        hud->loadFont(atlas);
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_EQ(0u, errors.rfind("Error during Freetype face creation: ", 0)) << errors;
    }
    EXPECT_EQ(0u, atlas.texture);
    EXPECT_EQ(0, atlas.atlasWidth);
    EXPECT_EQ(0, atlas.atlasHeight);
}

TEST_F(HudTest, SetTextEmitsSixVerticesPerInkedGlyphAndReplacesThePreviousText) {
    EXPECT_FALSE(hud->built);
    hud->setText({row(" ")});
    EXPECT_TRUE(hud->built);
    EXPECT_EQ(0, hud->vertexCount());
    hud->setText({row("AB")});
    EXPECT_EQ(12, hud->vertexCount());
    hud->setText({row("A B"), row(""), row("00:59", 100, 150)});
    EXPECT_EQ(6 * 2 + 6 * 5, hud->vertexCount());
    hud->setText({row("A")});
    EXPECT_EQ(6, hud->vertexCount());

    GLint bytes = 0;
    std::vector<glm::vec4> stored(6);
    glBindBuffer(GL_ARRAY_BUFFER, hud->vbo);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, 6 * sizeof(glm::vec4), stored.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    EXPECT_EQ(static_cast<GLint>(6 * sizeof(glm::vec4)), bytes);
    EXPECT_EQ(hud->vertices, stored);
}

TEST_F(HudTest, QuadsFollowTheCursorAndBytesWithoutAGlyphAreSkipped) {
    const float s = 2.0f, width = hud->font.atlasWidth, height = hud->font.atlasHeight;
    const Glyph& a = glyph('A');
    const Glyph& b = glyph('B');
    hud->setText(
        {row("A\xC3\xA9\xFF"
             "B",
             100, 200, s)});
    ASSERT_EQ(12, hud->vertexCount());

    // Vertex 0 is the top-right corner, 1 the top-left, 2 the bottom-left.
    const glm::vec4 aTopLeft(100 + a.bearingLeft * s, 200 + a.bearingTop * s, a.atlasX / width, 0);
    EXPECT_EQ(aTopLeft, hud->vertices[1]);
    EXPECT_EQ(glm::vec4(aTopLeft.x, aTopLeft.y - a.rows * s, aTopLeft.z, a.rows / height), hud->vertices[2]);
    EXPECT_EQ(glm::vec4(aTopLeft.x + a.width * s, aTopLeft.y, (a.atlasX + a.width) / width, 0), hud->vertices[0]);
    // The skipped bytes do not move the cursor.
    const glm::vec4 bTopLeft(100 + (a.advanceX + b.bearingLeft) * s, 200 + b.bearingTop * s, b.atlasX / width, 0);
    EXPECT_EQ(bTopLeft, hud->vertices[7]);
}

TEST_F(HudTest, ControlCodeIsRejectedAndTheShownTextStays) {
    int thrown = 0;
    try {
        hud->setText({row("A\tB")});
    } catch (int value) {
        thrown = value;
    }
    EXPECT_EQ(-1, thrown);
    EXPECT_FALSE(hud->built);

    hud->setText({row("AB")});
    const std::vector<glm::vec4> shown = hud->vertices;
    EXPECT_THROW(hud->setText({row("C"), row("line\n")}), int);
    EXPECT_TRUE(hud->built);
    EXPECT_EQ(shown, hud->vertices);
}

TEST_F(HudTest, DrawnTextIsLightInkInADarkOutlineOverEverything) {
    const int width = 160, height = 80;
    Hud small(width, height);
    OffscreenTarget target(width, height, 0.0f);  // the scene's depth at its nearest everywhere
    glEnable(GL_DEPTH_TEST);
    small.draw();  // nothing built yet
    const std::vector<Rgba> before = target.read();
    const int background = brightness(before[0]);
    EXPECT_TRUE(std::all_of(before.begin(), before.end(), [&](const Rgba& p) { return brightness(p) == background; }));

    small.setText({row("HI", 10, 20)});
    small.draw();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    const std::vector<Rgba> pixels = target.read();
    glDisable(GL_DEPTH_TEST);

    // Everything drawn lies in the two capitals' cells, placed from the bottom-left corner.
    const int left = 10 + glyph('H').bearingLeft, right = 10 + glyph('H').advanceX + glyph('I').advanceX + 4;
    const int top = 20 + glyph('H').bearingTop, bottom = 20 - Hud::glyphMargin - 1;
    int light = 0, dark = 0, stray = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int value = brightness(pixels[static_cast<size_t>(y) * width + x]);
            light += value > 220;
            dark += value < 40;
            stray += value != background && (x < left || x > right || y < bottom || y > top);
        }
    }
    EXPECT_GT(light, 100);
    EXPECT_GT(dark, 50);
    EXPECT_EQ(0, stray);

    // Along a row through the letters, the first pixel off the background is outline, then ink follows.
    const int y = 20 + glyph('H').bearingTop / 2;
    int firstChange = -1, firstLight = -1;
    for (int x = 0; x < width; ++x) {
        const int value = brightness(pixels[static_cast<size_t>(y) * width + x]);
        if (firstChange < 0 && value != background) firstChange = value;
        if (firstLight < 0 && value > 220) firstLight = x;
    }
    EXPECT_LT(firstChange, background);
    EXPECT_GT(firstLight, 10);
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

TEST_F(HudTest, DestructionFreesTheMeshAndTheAtlas) {
    hud->setText({row("AB")});
    const GLuint vao = hud->vao, vbo = hud->vbo, texture = hud->font.texture;
    ASSERT_TRUE(glIsVertexArray(vao) && glIsBuffer(vbo) && glIsTexture(texture));
    hud.reset();
    EXPECT_FALSE(glIsVertexArray(vao));
    EXPECT_FALSE(glIsBuffer(vbo));
    EXPECT_FALSE(glIsTexture(texture));
}

class GuiOverlayTest : public testsupport::GlTest {};

TEST_F(GuiOverlayTest, TextureCoversTheScaledQuadWithItsOwnTransparency) {
    GuiShader shader;
    const GLuint program = shader.init();
    std::shared_ptr<Mesh> quad = loadToVAO({-1, 1, -1, -1, 1, 1, 1, -1}, 2);
    // 2 × 2, first row on top: red, green / blue, transparent white.
    const unsigned char texels[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 0};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    const GuiObject object{texture, glm::vec3(0.5f, -0.5f, 0.0f), glm::vec3(0.25f, 0.25f, 1.0f)};

    // Drawn the way the overlay pass does: the ±1 quad placed by the object's position and scale.
    OffscreenTarget target(64, 64, 1.0f);
    glUseProgram(program);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindVertexArray(quad->vaoId);
    glEnableVertexAttribArray(0);
    quad->setPosition(object.position);
    quad->setScale(object.scale);
    const glm::mat4 transform = quad->getModelMatrix();
    glUniformMatrix4fv(glGetUniformLocation(program, "transformMatrix"), 1, GL_FALSE, &transform[0][0]);
    glBindTexture(GL_TEXTURE_2D, object.texture);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, quad->vertexCount);
    glDisable(GL_BLEND);
    glBindVertexArray(0);
    glUseProgram(0);
    const std::vector<Rgba> pixels = target.read();
    glDeleteTextures(1, &texture);

    // The quad spans x 0.25..0.75 and y -0.75..-0.25: pixels 40..55 across, 8..23 up.
    auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * 64 + x]; };
    EXPECT_EQ((Rgba{255, 0, 0, 255}), at(44, 20));
    EXPECT_EQ((Rgba{0, 255, 0, 255}), at(52, 20));
    EXPECT_EQ((Rgba{0, 0, 255, 255}), at(44, 12));
    const int background = brightness(at(20, 40));
    EXPECT_NEAR(128, background, 1);
    EXPECT_EQ(background, brightness(at(52, 12))) << "transparent texel shows the background";
    EXPECT_EQ(background, brightness(at(38, 12)));
    EXPECT_EQ(background, brightness(at(44, 25)));
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

}  // namespace
