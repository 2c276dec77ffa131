#include "render/TextureLoader.h"

#include "support/AssetFileWriter.h"
#include "support/GlContext.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <array>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;
using Rgba = std::array<unsigned char, 4>;

// Textures are looked up below the working directory, so each test works in a folder of its own.
class TextureLoaderTest : public testsupport::GlTest {
protected:
    testsupport::TempDirectory folder;
    testsupport::ScopedWorkingDirectory cwd{folder.path()};

    std::string writePng(const std::string& name, unsigned width, unsigned height, const Rgba& rgba) {
        const std::string path = folder.file("res/textures/" + name);
        testsupport::writeSolidPng(path, width, height, rgba);
        return path;
    }

    static GLint parameter(GLenum target, GLenum name) {
        GLint value = 0;
        glGetTexParameteriv(target, name, &value);
        return value;
    }

    static GLint levelParameter(GLenum target, GLenum name) {
        GLint value = 0;
        glGetTexLevelParameteriv(target, 0, name, &value);
        return value;
    }

    // The texel at (0, 0) of one layer of a texture array, read through a framebuffer.
    static Rgba arrayTexel(GLuint texture, int layer) {
        GLuint framebuffer = 0;
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        glFramebufferTextureLayer(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, texture, 0, layer);
        Rgba texel{};
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, texel.data());
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        return texel;
    }
};

TEST_F(TextureLoaderTest, EachLoadMakesANewRepeatingMipmappedTexture) {
    writePng("stone_4.png", 4, 4, {200, 100, 50, 255});
    GLint activeBefore = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeBefore);
    GLuint first = loadTexture("stone_4.png", 4, 4);
    GLuint second = loadTexture("stone_4.png", 4, 4);
    EXPECT_NE(first, second);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(0, bound);
    GLint activeAfter = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeAfter);
    EXPECT_EQ(activeBefore, activeAfter);

    glBindTexture(GL_TEXTURE_2D, second);
    EXPECT_EQ(GL_REPEAT, parameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S));
    EXPECT_EQ(GL_REPEAT, parameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T));
    EXPECT_EQ(GL_LINEAR_MIPMAP_LINEAR, parameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER));
    EXPECT_EQ(GL_LINEAR, parameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER));
    Rgba smallestMip{};
    glGetTexImage(GL_TEXTURE_2D, 2, GL_RGBA, GL_UNSIGNED_BYTE, smallestMip.data());
    EXPECT_EQ((Rgba{200, 100, 50, 255}), smallestMip);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(TextureLoaderTest, MissingFileIsReportedAndStillGivesATexture) {
    folder.file("res/textures/placeholder");
    CaptureStdout();
    GLuint texture = loadTexture("absent_64.png", 64, 64);
    EXPECT_EQ("decoder error 78: " + std::string(lodepng_error_text(78)) + "\n", GetCapturedStdout());
    EXPECT_TRUE(glIsTexture(texture));
    glBindTexture(GL_TEXTURE_2D, texture);
    EXPECT_EQ(64, levelParameter(GL_TEXTURE_2D, GL_TEXTURE_WIDTH));
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

TEST_F(TextureLoaderTest, WronglySizedImageIsUploadedWithItsDecodedSize) {
    const std::string path = writePng("wrong_8.png", 4, 2, {1, 2, 3, 255});
    CaptureStderr();
    GLuint texture = loadTexture("wrong_8.png", 8, 8);
    const std::string err = GetCapturedStderr();
    EXPECT_NE(std::string::npos, err.find(path)) << err;
    EXPECT_NE(std::string::npos, err.find("4x2")) << err;
    EXPECT_NE(std::string::npos, err.find("8x8")) << err;

    glBindTexture(GL_TEXTURE_2D, texture);
    EXPECT_EQ(4, levelParameter(GL_TEXTURE_2D, GL_TEXTURE_WIDTH));
    EXPECT_EQ(2, levelParameter(GL_TEXTURE_2D, GL_TEXTURE_HEIGHT));
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(TextureLoaderTest, CubeMapFacesFollowTheListAndClampToTheEdge) {
    const std::vector<Rgba> colours = {{255, 0, 0, 255},   {0, 255, 0, 255},   {0, 0, 255, 255},
                                       {255, 255, 0, 255}, {0, 255, 255, 255}, {255, 0, 255, 255}};
    std::vector<std::string> faces;
    for (size_t i = 0; i < colours.size(); ++i) {
        faces.push_back("face" + std::to_string(i) + "_2.png");
        writePng(faces.back(), 2, 2, colours[i]);
    }
    GLuint cube = loadCubeMap(faces, 2, 2);

    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP, &bound);
    EXPECT_EQ(static_cast<GLint>(cube), bound);
    for (GLenum wrap : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, GL_TEXTURE_WRAP_R}) {
        EXPECT_EQ(GL_CLAMP_TO_EDGE, parameter(GL_TEXTURE_CUBE_MAP, wrap));
    }
    EXPECT_EQ(GL_LINEAR, parameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER));
    for (size_t i = 0; i < colours.size(); ++i) {
        std::array<unsigned char, 16> face{};
        glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(i), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                      face.data());
        EXPECT_EQ(colours[i], (Rgba{face[12], face[13], face[14], face[15]})) << "face " << i;
    }
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
}

TEST_F(TextureLoaderTest, ArrayOfTwoFilesLeavesTheLastTwoLayersEmpty) {
    writePng("sand_2048.png", 2048, 2048, {250, 200, 100, 255});
    writePng("moss_2048.png", 2048, 2048, {20, 120, 30, 255});
    CaptureStderr();
    GLuint array = loadTextureArray({"sand_2048.png", "moss_2048.png"});
    EXPECT_EQ("", GetCapturedStderr());

    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D_ARRAY, &bound);
    EXPECT_EQ(static_cast<GLint>(array), bound);
    EXPECT_EQ(4, levelParameter(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_DEPTH));
    EXPECT_EQ(GL_REPEAT, parameter(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_R));
    EXPECT_EQ((Rgba{250, 200, 100, 255}), arrayTexel(array, 0));
    EXPECT_EQ((Rgba{20, 120, 30, 255}), arrayTexel(array, 1));
    EXPECT_EQ((Rgba{0, 0, 0, 0}), arrayTexel(array, 2));
    EXPECT_EQ((Rgba{0, 0, 0, 0}), arrayTexel(array, 3));
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
}

TEST_F(TextureLoaderTest, ArrayFillsEveryLayerThatNamesTheSameFile) {
    writePng("sand_2048.png", 2048, 2048, {250, 200, 100, 255});
    writePng("moss_2048.png", 2048, 2048, {20, 120, 30, 255});
    GLuint array = loadTextureArray({"sand_2048.png", "moss_2048.png", "sand_2048.png", "moss_2048.png"});

    EXPECT_EQ((Rgba{250, 200, 100, 255}), arrayTexel(array, 0));
    EXPECT_EQ((Rgba{20, 120, 30, 255}), arrayTexel(array, 1));
    EXPECT_EQ((Rgba{250, 200, 100, 255}), arrayTexel(array, 2));
    EXPECT_EQ((Rgba{20, 120, 30, 255}), arrayTexel(array, 3));
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
}

TEST_F(TextureLoaderTest, ArrayReportsPendingErrorsWrongSizesAndSurplusFiles) {
    writePng("small_2048.png", 16, 16, {9, 9, 9, 255});
    glEnable(0x1234);  // leaves GL_INVALID_ENUM (1280) pending, to be reported before loading
    CaptureStderr();
    CaptureStdout();
    GLuint array = loadTextureArray({"small_2048.png", "a.png", "b.png", "c.png", "d.png"});
    const std::string out = GetCapturedStdout();
    const std::string err = GetCapturedStderr();

    EXPECT_NE(std::string::npos, err.find("OpenGL error before loading 3D texture: 1280\n")) << err;
    EXPECT_NE(std::string::npos, err.find("small_2048.png is 16x16, expected 2048x2048")) << err;
    EXPECT_NE(std::string::npos, err.find("ignoring the last 1 of 5 files")) << err;
    EXPECT_EQ(std::string::npos, err.find("after loading")) << err;
    // Only the first four files are read: three missing ones, the fifth is never opened.
    size_t decoderLines = 0;
    for (size_t at = out.find("decoder error 78"); at != std::string::npos; at = out.find("decoder error 78", at + 1)) {
        ++decoderLines;
    }
    EXPECT_EQ(3u, decoderLines) << out;
    EXPECT_EQ((Rgba{0, 0, 0, 0}), arrayTexel(array, 0));
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

}  // namespace
