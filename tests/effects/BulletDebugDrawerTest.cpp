#include "effects/BulletDebugDrawer.h"

#include "support/GlContext.h"
#include "support/OffscreenTarget.h"
#include "support/PhysicsWorld.h"

#include <gtest/gtest.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <memory>
#include <vector>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;
using testsupport::OffscreenTarget;
using testsupport::Pixel;

constexpr int kSize = 64;

// How many pixels of the bound target have exactly `colour`.
int pixelsOf(int size, const Pixel& colour) {
    std::vector<Pixel> pixels(static_cast<size_t>(size) * size);
    glReadPixels(0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int count = 0;
    for (const Pixel& p : pixels) count += p == colour;
    return count;
}

class BulletDebugDrawerTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        while (glGetError() != GL_NO_ERROR) {}
        CaptureStdout();  // the program prints its source path
        drawer = std::make_unique<BulletDebugDrawer>();
        GetCapturedStdout();
        target = std::make_unique<OffscreenTarget>(kSize);
        glUseProgram(drawer->programId);
    }
    void TearDown() override {
        target.reset();
        drawer.reset();
        glUseProgram(0);
    }

    std::unique_ptr<BulletDebugDrawer> drawer;
    std::unique_ptr<OffscreenTarget> target;
};

TEST_F(BulletDebugDrawerTest, AlwaysAsksForWireframeAndBoundingBoxes) {
    drawer->setDebugMode(0);
    EXPECT_EQ(0, drawer->debugMode);
    EXPECT_EQ(3, drawer->getDebugMode());
    drawer->setDebugMode(btIDebugDraw::DBG_DrawContactPoints);
    EXPECT_EQ(btIDebugDraw::DBG_DrawWireframe | btIDebugDraw::DBG_DrawAabb, drawer->getDebugMode());
}

TEST_F(BulletDebugDrawerTest, EachLineReplacesThePreviousLinesObjects) {
    drawer->drawLine(btVector3(0, 0, 0), btVector3(1, 1, 0), btVector3(1, 1, 1));
    const GLuint firstVbo = drawer->lineVbo, firstVao = drawer->lineVao;
    ASSERT_TRUE(glIsBuffer(firstVbo));
    ASSERT_TRUE(glIsVertexArray(firstVao));

    drawer->drawLine(btVector3(0, 0, 0), btVector3(-1, 1, 0), btVector3(1, 1, 1));
    EXPECT_TRUE(glIsBuffer(drawer->lineVbo));
    EXPECT_TRUE(glIsVertexArray(drawer->lineVao));
    // A driver may hand a freed name out again; a live one never, so equal names prove the delete too.
    if (drawer->lineVbo != firstVbo) {
        EXPECT_FALSE(glIsBuffer(firstVbo));
    }
    if (drawer->lineVao != firstVao) {
        EXPECT_FALSE(glIsVertexArray(firstVao));
    }

    const GLuint lastVbo = drawer->lineVbo, lastVao = drawer->lineVao;
    drawer.reset();
    EXPECT_FALSE(glIsBuffer(lastVbo)) << "the drawer frees its last line while the context lives";
    EXPECT_FALSE(glIsVertexArray(lastVao));
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

TEST_F(BulletDebugDrawerTest, ReportsAPendingErrorOnceAndStillDrawsTheLine) {
    glEnable(0xBAD);  // not a capability: GL_INVALID_ENUM
    // Between rows 32 and 33 of the target would be ambiguous; this runs through row 32's centres.
    const double y = (32.5 / kSize) * 2.0 - 1.0;
    CaptureStderr();
    drawer->drawLine(btVector3(-1, y, 0), btVector3(1, y, 0), btVector3(1, 0, 0));
    EXPECT_EQ("OpenGL error before debug draw 1280\n", GetCapturedStderr());
    EXPECT_GE(pixelsOf(kSize, Pixel{255, 0, 0, 255}), kSize - 2);

    CaptureStderr();
    drawer->drawLine(btVector3(-1, -0.5, 0), btVector3(1, -0.5, 0), btVector3(0, 0, 1));
    EXPECT_EQ("", GetCapturedStderr()) << "the error was drained by the first line";
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

TEST_F(BulletDebugDrawerTest, DrawsABoxBodyOfARealWorld) {
    testsupport::PhysicsWorld world;
    world.addBox("crate", glm::vec3(0.0f), glm::vec3(1.0f));
    world->setDebugDrawer(drawer.get());
    const glm::mat4 projectionView = glm::perspective(glm::radians(60.0f), 1.0f, 0.1f, 100.0f) *
                                     glm::lookAt(glm::vec3(4, 3, 5), glm::vec3(0.0f), glm::vec3(0, 1, 0));
    glUniformMatrix4fv(glGetUniformLocation(drawer->programId, "projectionViewMatrix"), 1, GL_FALSE,
                       glm::value_ptr(projectionView));

    const Pixel black{0, 0, 0, 255};
    ASSERT_EQ(kSize * kSize, pixelsOf(kSize, black));
    world->debugDrawWorld();
    EXPECT_GT(kSize * kSize - pixelsOf(kSize, black), kSize) << "the box's edges show";
    world->setDebugDrawer(nullptr);
}

}  // namespace
