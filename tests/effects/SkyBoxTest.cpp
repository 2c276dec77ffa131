#include "effects/SkyBox.h"

#include "effects/SkyBoxShader.h"
#include "render/Camera.h"
#include "render/TexturedMesh.h"
#include "support/GlContext.h"
#include "support/GlProbes.h"
#include "support/OffscreenTarget.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using testsupport::Pixel;

constexpr int kSize = 65;  // odd, so the centre pixel lies exactly on the view axis
const Pixel kRed{255, 0, 0, 255};

// The game's sky seen from a camera pitched up, with culling and depth test on; magenta shows gaps.
class SkyBoxTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        sky = std::make_unique<SkyBox>("skybox_test_small.dae", 1.0f);
        camera.setRotation(glm::vec3(0.5f, 0.0f, 0.0f));
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
    }
    std::vector<Pixel> render(const glm::vec3& fog = glm::vec3(0.46f, 0.56f, 0.64f)) {
        target.clear({255, 0, 255, 255});
        sky->draw(camera, fog);
        return target.pixels();
    }

    std::unique_ptr<SkyBox> sky;
    Camera camera{1.0f};
    testsupport::OffscreenTarget target{kSize};
};

TEST_F(SkyBoxTest, CoversTheViewAndTurnsWithTheCameraAndByItselfButNeverMoves) {
    camera.farPlane = 100.0f;  // the sky lies farther out, yet covers all
    const std::vector<Pixel> image = render();
    EXPECT_EQ(std::count(image.begin(), image.end(), Pixel{255, 0, 255, 255}), 0);
    camera.farPlane = 1000.0f;
    const std::vector<Pixel> base = render();
    camera.setPosition(glm::vec3(250.0f, 80.0f, -700.0f));
    EXPECT_TRUE(base == render()) << "moving the camera leaves the sky as it was";
    camera.setRotation(glm::vec3(0.5f, 0.3f, 0.0f));
    EXPECT_FALSE(base == render()) << "turning the camera turns the sky";
    sky->rotation = -0.3f;
    EXPECT_TRUE(base == render()) << "the sky's rotation adds to the camera's yaw";
}

TEST_F(SkyBoxTest, FadesIntoTheFogColourAtTheHorizonOnlyAndWritesNoDepth) {
    camera.setRotation(glm::vec3(0.0f));
    render(glm::vec3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(target.centre(), kRed) << "straight ahead lies the horizon";
    EXPECT_EQ(target.at(0, 0), kRed) << "below the horizon";
    EXPECT_NE(target.at(kSize / 2, kSize - 1), kRed) << "30 degrees up the sky shows";
    // Well above the fog band (the lowest row looks 21 degrees up) the fog colour makes no difference.
    camera.setRotation(glm::vec3(0.9f, 0.0f, 0.0f));
    EXPECT_TRUE(render(glm::vec3(1, 0, 0)) == render(glm::vec3(0, 0, 1)));

    std::vector<float> depth(static_cast<size_t>(kSize) * kSize);
    glReadPixels(0, 0, kSize, kSize, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    EXPECT_EQ(std::count(depth.begin(), depth.end(), 1.0f), kSize * kSize) << "later objects must cover the sky";
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask) << "depth writes are on again for what follows";
}

// The sky program with clip distance 0 captured by transform feedback.
struct ClipCapturingSkyShader : SkyBoxShader {
    void bindAttributes() override {
        SkyBoxShader::bindAttributes();
        const char* captured[] = {"gl_ClipDistance[0]"};
        glTransformFeedbackVaryings(programId, 1, captured, GL_INTERLEAVED_ATTRIBS);
    }
};

TEST_F(SkyBoxTest, WritesAClipDistanceThatKeepsItWholeInTheWaterPasses) {
    testing::internal::CaptureStdout();
    ClipCapturingSkyShader shader;
    shader.init();
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(testsupport::linkedWell(shader.programId)) << "the sky writes no clip distance";
    const GLsizei vertices = sky->meshes.front()->vertexCount;
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, buffer);
    glBufferData(GL_TRANSFORM_FEEDBACK_BUFFER, vertices * sizeof(float), nullptr, GL_STATIC_READ);
    glBindVertexArray(sky->meshes.front()->vaoId);
    glEnableVertexAttribArray(0);
    glEnable(GL_RASTERIZER_DISCARD);
    glBeginTransformFeedback(GL_TRIANGLES);
    glDrawElements(GL_TRIANGLES, vertices, GL_UNSIGNED_INT, nullptr);
    glEndTransformFeedback();
    glDisable(GL_RASTERIZER_DISCARD);
    std::vector<float> distances(static_cast<size_t>(vertices), -1.0f);
    glGetBufferSubData(GL_TRANSFORM_FEEDBACK_BUFFER, 0, vertices * sizeof(float), distances.data());
    glBindVertexArray(0);
    glDeleteBuffers(1, &buffer);
    EXPECT_EQ(std::count_if(distances.begin(), distances.end(), [](float d) { return d <= 0.0f; }), 0);
}

}  // namespace
