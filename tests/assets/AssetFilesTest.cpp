#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>
#include <lodepng.h>

#include <algorithm>
#include <filesystem>

#include "assets/AssetExpectations.h"
#include "render/TextureLoader.h"

namespace fs = std::filesystem;

namespace {

std::string texturePath(const std::string& name) { return fs::absolute("res/textures/" + name).string(); }

}  // namespace

TEST(AssetFilesTest, EveryModelAndTheFontExist) {
    for (const std::string& model : assetexpect::models())
        EXPECT_TRUE(fs::is_regular_file("res/models/" + model)) << model;
    EXPECT_TRUE(fs::is_regular_file("res/hud_font.ttf"));
}

TEST(AssetFilesTest, EveryTextureIsAnRgbaPngOfItsStatedSize) {
    for (const auto& texture : assetexpect::textures()) {
        SCOPED_TRACE(texture.name);
        std::vector<unsigned char> file;
        ASSERT_EQ(lodepng::load_file(file, texturePath(texture.name)), 0u) << "missing";
        // The file itself is 8-bit RGBA, not just something that decodes to it.
        unsigned w = 0, h = 0;
        lodepng::State state;
        ASSERT_EQ(lodepng_inspect(&w, &h, &state, file.data(), file.size()), 0u);
        EXPECT_EQ(state.info_png.color.colortype, LCT_RGBA);
        EXPECT_EQ(state.info_png.color.bitdepth, 8u);
        unsigned dw = 0, dh = 0;
        std::vector<unsigned char> pixels = decodePng(texturePath(texture.name), &dw, &dh);
        EXPECT_EQ(static_cast<int>(dw), texture.size);
        EXPECT_EQ(static_cast<int>(dh), texture.size);
        EXPECT_EQ(pixels.size(), static_cast<size_t>(texture.size) * texture.size * 4);
    }
}

TEST(AssetFilesTest, TexturesWithCutOutsHaveTransparentAndOpaqueParts) {
    // The grass card and the overlay images rely on alpha; a fully opaque one would draw a square.
    for (const char* name : {"grass_128.png", "cursor_128.png", "cursor_128_white.png", "particle1.png"}) {
        SCOPED_TRACE(name);
        std::vector<unsigned char> pixels = decodePng(texturePath(name));
        ASSERT_FALSE(pixels.empty());
        size_t clear = 0, solid = 0;
        for (size_t i = 3; i < pixels.size(); i += 4) {
            clear += pixels[i] == 0;
            solid += pixels[i] >= 128;
        }
        EXPECT_GT(clear, pixels.size() / 4 / 4);
        EXPECT_GT(solid, 0u);
    }
}

TEST(AssetFilesTest, ParticleFramesFadeOutAndStayInsideTheirCells) {
    std::vector<unsigned char> atlas = decodePng(texturePath("particle1.png"));
    ASSERT_EQ(atlas.size(), 128u * 128u * 4u);
    auto alpha = [&](int x, int y) { return atlas[(static_cast<size_t>(y) * 128 + x) * 4 + 3]; };
    double previous = 1e9;
    for (int frame = 0; frame < 16; ++frame) {
        // Frames run left to right, top row first, 32 × 32 pixels each.
        int ox = (frame % 4) * 32, oy = (frame / 4) * 32;
        double total = 0;
        int border = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                total += alpha(ox + x, oy + y);
                if (x == 0 || y == 0 || x == 31 || y == 31) border = std::max<int>(border, alpha(ox + x, oy + y));
            }
        EXPECT_LT(total, previous) << "frame " << frame << " is not fainter than the one before";
        EXPECT_EQ(border, 0) << "frame " << frame << " bleeds into its neighbours";
        previous = total;
    }
}

TEST(AssetFilesTest, FontLoadsEveryHudGlyphAt48Pixels) {
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face = nullptr;
    ASSERT_EQ(FT_New_Face(library, "res/hud_font.ttf", 0, &face), 0);
    ASSERT_EQ(FT_Set_Pixel_Sizes(face, 0, 48), 0);
    int visible = 0;
    for (unsigned long c = 32; c < 128; ++c) {
        EXPECT_EQ(FT_Load_Char(face, c, FT_LOAD_RENDER), 0) << "character " << c;
        if (face->glyph->bitmap.width > 0) ++visible;
    }
    // Everything but the space (and the control code 127) has ink.
    EXPECT_GE(visible, 94);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}
