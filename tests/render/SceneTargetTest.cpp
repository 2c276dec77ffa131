#include "render/SceneTarget.h"

#include "effects/WaterFrameBuffers.h"
#include "render/FramebufferStatus.h"
#include "support/GlContext.h"
#include "support/OffscreenTarget.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace testing::internal;  // capturing standard error
using SceneTargetTest = testsupport::GlTest;

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// More samples than the driver allows are cut to its maximum, said once, and the scene drawn into the
// target reaches the window; a target the driver cannot make falls back, said, to one without samples
// and then to the window itself.
TEST_F(SceneTargetTest, AskedForSamplesAreCutToTheDriversAndATargetItCannotMakeFallsBack) {
    GLint maxSamples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    SceneTarget target;
    CaptureStderr();
    target.resize(64, 48, 0.5f, maxSamples * 2);
    target.resize(64, 48, 0.5f, maxSamples * 2);
    std::string told = GetCapturedStderr();
    EXPECT_EQ(count(told, std::to_string(maxSamples * 2) + " samples asked for"), 1u) << told;
    EXPECT_EQ(target.samples(), maxSamples);
    target.bind();
    EXPECT_EQ(framebufferProblem(), "");
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    target.present();
    testsupport::Pixel corner{};
    glReadPixels(63, 47, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, corner.data());
    EXPECT_EQ(corner, (testsupport::Pixel{255, 0, 0, 255}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    CaptureStderr();
    target.resize(4 * largest, 8, 0.5f, 2);
    told = GetCapturedStderr();
    while (glGetError() != GL_NO_ERROR) {}
    EXPECT_NE(told.find("drawing without multisampling"), std::string::npos) << told;
    EXPECT_NE(told.find("drawing the scene straight into the window"), std::string::npos) << told;
    EXPECT_FALSE(target.offscreen());
    EXPECT_EQ(target.width(), 4 * largest);
}

// Every off-screen target of the water is complete, with depth formats every driver must draw into;
// an incomplete framebuffer is named by its status.
TEST_F(SceneTargetTest, WaterTargetsUseDepthFormatsEveryDriverDrawsInto) {
    const WaterFrameBuffers water(320, 240, 64, 36, 128, 72);
    const GLint required[] = {GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT32F};
    GLint format = 0;
    glBindTexture(GL_TEXTURE_2D, water.refractionDepthTexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_NE(std::find(std::begin(required), std::end(required), format), std::end(required)) << format;
    glBindRenderbuffer(GL_RENDERBUFFER, water.reflectionDepthBuffer);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_INTERNAL_FORMAT, &format);
    EXPECT_NE(std::find(std::begin(required), std::end(required), format), std::end(required)) << format;
    for (GLuint framebuffer : {water.reflectionFrameBuffer, water.refractionFrameBuffer}) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        EXPECT_EQ(framebufferProblem(), "");
    }
    GLuint empty = 0;
    glGenFramebuffers(1, &empty);
    glBindFramebuffer(GL_FRAMEBUFFER, empty);
    EXPECT_EQ(framebufferProblem(), "GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT");
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &empty);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
