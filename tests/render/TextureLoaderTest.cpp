#include "render/TextureLoader.h"

#include "render/HalvedImage.h"

#include "support/GlContext.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <algorithm>

namespace {

using namespace testing::internal;  // capturing standard output and error
using Rgba = std::array<unsigned char, 4>;

GLint parameter(GLenum target, GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(target, name, &value);
    return value;
}

// The texel at (0, 0) of one layer of a texture array, read through a framebuffer.
Rgba arrayTexel(GLuint texture, int layer) {
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glFramebufferTextureLayer(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, texture, 0, layer);
    Rgba texel{};
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, texel.data());
    glDeleteFramebuffers(1, &framebuffer);
    return texel;
}

class TextureLoaderTest : public testsupport::GlTest {
protected:
    // An image of one colour, stored uncompressed so that even 2048² layers are quick.
    std::string writePng(const std::string& name, unsigned width, const Rgba& rgba, unsigned height = 0) {
        height = height ? height : width;
        std::vector<unsigned char> pixels, png;
        for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
            pixels.insert(pixels.end(), rgba.begin(), rgba.end());
        lodepng::State state;
        state.encoder.zlibsettings.btype = 0;
        state.encoder.filter_strategy = LFS_ZERO;
        lodepng::encode(png, pixels, width, height, state);
        return folder.writeText("res/textures/" + name, std::string(png.begin(), png.end()));
    }

    testsupport::TempDirectory folder{true};
};

TEST_F(TextureLoaderTest, ImagesBecomeRepeatingMipmappedTexturesEvenWhenMisSized) {
    writePng("stone_4.png", 4, {200, 100, 50, 255});
    const GLuint stone = loadTexture("stone_4.png", 4, 4);
    glBindTexture(GL_TEXTURE_2D, stone);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    Rgba smallestMip{};
    glGetTexImage(GL_TEXTURE_2D, 2, GL_RGBA, GL_UNSIGNED_BYTE, smallestMip.data());
    EXPECT_EQ(smallestMip, (Rgba{200, 100, 50, 255})) << "the mipmaps are made";

    GLint width = 0;
    const std::string path = writePng("wrong_8.png", 4, {1, 2, 3, 255}, 2);
    CaptureStderr();
    glBindTexture(GL_TEXTURE_2D, loadTexture("wrong_8.png", 8, 8));
    const std::string said = GetCapturedStderr();
    EXPECT_NE(said.find(path + " is 4x2, expected 8x8"), std::string::npos) << said;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 4) << "the decoded size is used";
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TextureLoaderTest, ArraysFillEveryLayerThatNamesAFileAndLeaveOutAFifth) {
    writePng("sand_2048.png", 2048, {250, 200, 100, 255});
    writePng("moss_2048.png", 2048, {20, 120, 30, 255});
    glEnable(0x1234);  // leaves GL_INVALID_ENUM (1280) pending, to be reported before loading
    CaptureStderr();
    const GLuint terrain =
        loadTextureArray({"sand_2048.png", "moss_2048.png", "sand_2048.png", "moss_2048.png", "absent.png"});
    const std::string err = GetCapturedStderr();
    EXPECT_NE(err.find("OpenGL error before loading 3D texture: 1280\n"), std::string::npos) << err;
    EXPECT_NE(err.find("ignoring the last 1 of 5 files"), std::string::npos) << err;
    for (int layer = 0; layer < 4; ++layer)
        EXPECT_EQ(arrayTexel(terrain, layer), layer % 2 ? (Rgba{20, 120, 30, 255}) : (Rgba{250, 200, 100, 255}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// At half size a layer or a face is read from the half-size copy beside its file when the copy is
// good; a copy of another size is left out, said, and the file halved instead.
TEST_F(TextureLoaderTest, HalvedLevelsReadTheHalfSizeCopyWhenItIsGood) {
    writePng("sand_2048.png", 2048, {250, 200, 100, 255});
    writePng("sand_2048.half.png", 1024, {10, 20, 30, 255});
    writePng("moss_2048.png", 2048, {20, 120, 30, 255});
    writePng("moss_2048.half.png", 512, {1, 2, 3, 255});
    CaptureStderr();
    const GLuint terrain = loadTextureArray({"sand_2048.png", "moss_2048.png"}, 1);
    const std::string said = GetCapturedStderr();
    EXPECT_EQ(arrayTexel(terrain, 0), (Rgba{10, 20, 30, 255}));
    EXPECT_EQ(arrayTexel(terrain, 1), (Rgba{20, 120, 30, 255}));
    EXPECT_NE(said.find("moss_2048.half.png (512x512, expected 1024x1024); halving"), std::string::npos) << said;

    writePng("face.png", 8, {200, 0, 0, 255});
    writePng("face.half.png", 4, {0, 0, 200, 255});
    loadCubeMap(std::vector<std::string>(6, "face.png"), 8, 8, 2);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_POSITIVE_X, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 2) << "the copy halved once more";
    std::vector<unsigned char> face(2 * 2 * 4);
    glGetTexImage(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 0, GL_RGBA, GL_UNSIGNED_BYTE, face.data());
    EXPECT_EQ((Rgba{face[0], face[1], face[2], face[3]}), (Rgba{0, 0, 200, 255}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The generator's half-size copies hold what halving the whole image gives.
TEST(HalveImage, TheGeneratedHalfSizeCopiesAreTheImagesHalved) {
    for (const std::string name : {"res/textures/skybox/top.png", "res/textures/skybox/nightFront.png"}) {
        unsigned width = 0, height = 0, halfWidth = 0, halfHeight = 0;
        const std::vector<unsigned char> whole = decodePng(name, &width, &height);
        const std::vector<unsigned char> half = decodePng(halvedFileName(name), &halfWidth, &halfHeight);
        ASSERT_FALSE(whole.empty() || half.empty()) << name;
        EXPECT_EQ(halfWidth, width / 2);
        EXPECT_TRUE(half == halveImage(whole, static_cast<int>(width))) << name;
    }
}

// Each texel of the half-size image is the rounded mean of its 2 x 2 block, channel by channel.
TEST(HalveImage, AveragesEachBlockOfTwoRowsAndTwoColumns) {
    std::vector<unsigned char> image;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            image.insert(image.end(), {static_cast<unsigned char>(10 * x + 40 * y), static_cast<unsigned char>(7 * x),
                                       static_cast<unsigned char>(9 * y), 255});
    EXPECT_EQ(halveImage(image, 4), (std::vector<unsigned char>{25, 4, 5, 255, 45, 18, 5, 255,  //
                                                                105, 4, 23, 255, 125, 18, 23, 255}));
}

}  // namespace
