#include "render/KeptPicture.h"

#include "support/GlContext.h"

#include <GLFW/glfw3.h>
#include <glm/glm.hpp>
#include <gtest/gtest.h>

namespace {

class KeptPictureTest : public testsupport::GlTest {};

glm::ivec3 windowPixel(int x, int y) {
    unsigned char rgba[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

void clearWindow(float red, float green, float blue) {
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

// The picture put back is the one kept, whole, whatever the scissor box and framebuffer bindings
// were, and they are left as they were; a picture kept at another size is never put back.
TEST_F(KeptPictureTest, PutsBackTheWholePictureItKeptAndNothingAtAnotherSize) {
    int width = 0, height = 0;
    glfwGetFramebufferSize(testsupport::glWindow(), &width, &height);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    clearWindow(1.0f, 0.0f, 0.0f);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, width / 2, height);
    clearWindow(0.0f, 0.0f, 1.0f);  // left half blue, right half red
    GLuint other = 0;
    glGenFramebuffers(1, &other);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, other);

    KeptPicture picture;
    EXPECT_FALSE(picture.restore(width, height)) << "nothing kept yet";
    picture.keep(width, height);
    ASSERT_TRUE(picture.kept());
    GLint read = -1;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    EXPECT_EQ(read, static_cast<GLint>(other));
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));

    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    clearWindow(0.0f, 1.0f, 0.0f);
    glEnable(GL_SCISSOR_TEST);  // a small box left over from the last drawing must not cut the copy
    glScissor(0, 0, 4, 4);
    EXPECT_FALSE(picture.restore(width + 2, height)) << "kept at another size";
    EXPECT_EQ(windowPixel(width - 2, height / 2), glm::ivec3(0, 255, 0));
    EXPECT_TRUE(picture.restore(width, height));
    EXPECT_EQ(windowPixel(2, 2), glm::ivec3(0, 0, 255));
    EXPECT_EQ(windowPixel(width / 4, height - 2), glm::ivec3(0, 0, 255));
    EXPECT_EQ(windowPixel(width - 2, height / 2), glm::ivec3(255, 0, 0));
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    picture.forget();
    EXPECT_FALSE(picture.restore(width, height));
    glDisable(GL_SCISSOR_TEST);
    glDeleteFramebuffers(1, &other);
}

}  // namespace
