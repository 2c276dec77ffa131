#include "effects/SkyBox.h"

#include "app/Settings.h"
#include "effects/DebugLineShader.h"
#include "effects/SkyBoxShader.h"
#include "render/Camera.h"
#include "render/ResourcePath.h"
#include "render/TextureLoader.h"
#include "render/TexturedMesh.h"
#include "support/GlContext.h"
#include "support/OffscreenTarget.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using testsupport::OffscreenTarget;
using testsupport::Pixel;

// Odd, so the centre pixel lies exactly on the view axis.
constexpr int kSize = 65;
const glm::vec3 kFog(0.46f, 0.56f, 0.64f);

std::vector<Pixel> readImage(int size) {
    std::vector<Pixel> pixels(static_cast<size_t>(size) * size);
    glReadPixels(0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

int differingPixels(const std::vector<Pixel>& a, const std::vector<Pixel>& b) {
    int count = 0;
    for (size_t i = 0; i < a.size(); ++i) count += a[i] != b[i];
    return count;
}

int channelDistance(const Pixel& a, const glm::vec3& rgb) {
    return std::abs(a[0] - int(rgb.r)) + std::abs(a[1] - int(rgb.g)) + std::abs(a[2] - int(rgb.b));
}

// Average of the four texels around the middle of a face image: what a linear sampler gives for the
// direction through the face's centre.
glm::vec3 faceCentre(const std::string& face) {
    unsigned width = 0, height = 0;
    const std::vector<unsigned char> image =
        decodePng(getCurrentWorkingDirectory() + "/res/textures/" + face, &width, &height);
    glm::vec3 sum(0.0f);
    for (unsigned y = height / 2 - 1; y <= height / 2; ++y)
        for (unsigned x = width / 2 - 1; x <= width / 2; ++x) {
            const unsigned char* p = &image[(static_cast<size_t>(y) * width + x) * 4];
            sum += glm::vec3(p[0], p[1], p[2]);
        }
    return sum / 4.0f;
}

class SkyBoxTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        // Decoding twelve faces is the slow part; one sky serves the whole suite.
        if (!sky) {
            const float brightness = settings.brightness;
            settings.brightness = 1.0f;
            sky = std::make_unique<SkyBox>("skybox_test_small.dae");
            settings.brightness = brightness;
        }
        target = std::make_unique<OffscreenTarget>(kSize);
        sky->rotation = 0.0f;
        camera.setRotation(glm::vec3(0.5f, 0.0f, 0.0f));  // above the horizon, among the clouds
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glDepthMask(GL_TRUE);
        glClearDepth(1.0);
        glClearColor(1.0f, 0.0f, 1.0f, 1.0f);  // magenta shows wherever the sky left a gap
    }
    void TearDown() override {
        target.reset();
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
    }

    std::vector<Pixel> render(float dt = 0.0f, const glm::vec3& fog = kFog) {
        sky->draw(dt, camera, fog);
        return readImage(kSize);
    }

    static std::unique_ptr<SkyBox> sky;
    Camera camera{1.0f};
    std::unique_ptr<OffscreenTarget> target;
};

std::unique_ptr<SkyBox> SkyBoxTest::sky;

TEST_F(SkyBoxTest, CoversTheWholeViewEvenBeyondTheFarPlaneWithCullingOn) {
    for (float far : {1000.0f, 100.0f}) {
        camera.farPlane = far;
        glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
        int gaps = 0;
        for (const Pixel& p : render()) gaps += p[0] == 255 && p[1] == 0 && p[2] == 255;
        EXPECT_EQ(0, gaps) << "far plane " << far;
    }
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
    ASSERT_TRUE(shader.linked) << "the sky writes no clip distance, and the water passes enable one";

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
    for (float distance : distances) EXPECT_GT(distance, 0.0f);
}

TEST_F(SkyBoxTest, LeavesDepthUntouchedSoLaterObjectsCoverIt) {
    render();
    std::vector<float> depth(static_cast<size_t>(kSize) * kSize);
    glReadPixels(0, 0, kSize, kSize, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    int written = 0;
    for (float d : depth) written += d != 1.0f;
    EXPECT_EQ(0, written) << "the sky must not write depth";
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_EQ(GL_TRUE, mask) << "depth writes are on again for what follows";

    // A green quad at the very back of the depth range, behind the sky's own depth, still shows.
    testing::internal::CaptureStdout();
    DebugLineShader flat;
    const GLuint program = flat.init();
    testing::internal::GetCapturedStdout();
    const float z = 0.999999f;
    const float quad[] = {-1, -1, z, 0, 1, 0, 1, -1, z, 0, 1, 0, 1,  1, z, 0, 1, 0,
                          -1, -1, z, 0, 1, 0, 1, 1,  z, 0, 1, 0, -1, 1, z, 0, 1, 0};
    GLuint vao = 0, vbo = 0;
    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &vbo);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof(quad), quad, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 24, nullptr);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, 24, reinterpret_cast<const void*>(12));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glUseProgram(program);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    EXPECT_EQ((Pixel{0, 255, 0, 255}), target->centre());
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDeleteBuffers(1, &vbo);
    glDeleteVertexArrays(1, &vao);
}

TEST_F(SkyBoxTest, FollowsTheCameraOrientationAndTheSkyRotationButNotItsPosition) {
    const std::vector<Pixel> base = render();

    camera.setPosition(glm::vec3(250.0f, 80.0f, -700.0f));
    EXPECT_EQ(0, differingPixels(base, render())) << "moving the camera leaves the sky as it was";

    camera.setRotation(glm::vec3(0.5f, 0.3f, 0.0f));
    EXPECT_GT(differingPixels(base, render()), kSize * kSize / 4) << "turning the camera turns the sky";

    camera.setRotation(glm::vec3(0.5f, 0.0f, 0.0f));
    sky->rotation = 0.3f;
    EXPECT_GT(differingPixels(base, render()), kSize * kSize / 4) << "the sky's own rotation turns it";

    camera.setRotation(glm::vec3(0.5f, -0.3f, 0.0f));
    EXPECT_EQ(0, differingPixels(base, render())) << "the sky's rotation adds to the camera's yaw";
}

TEST_F(SkyBoxTest, TurnsByDtOver500EachDraw) {
    render(0.5f);
    render(0.5f);
    EXPECT_FLOAT_EQ(2.0f * 0.5f / 500.0f, sky->rotation);
    EXPECT_FLOAT_EQ(sky->rotation, sky->renderRotation);
    render(0.0f);
    EXPECT_FLOAT_EQ(2.0f * 0.5f / 500.0f, sky->rotation);
}

TEST_F(SkyBoxTest, ShowsTheDaySkyOverhead) {
    camera.setRotation(glm::vec3(1.5707964f, 0.0f, 0.0f));
    sky->rotation = 0.8f;  // turning about the vertical leaves the zenith where it is
    render();
    const Pixel zenith = target->centre();
    const glm::vec3 day = faceCentre("skybox/top.png");
    const glm::vec3 night = faceCentre("skybox/nightTop.png");
    EXPECT_LE(channelDistance(zenith, day), 12) << int(zenith[0]) << "," << int(zenith[1]) << "," << int(zenith[2])
                                                << " vs day " << day.r << "," << day.g << "," << day.b;
    EXPECT_GT(channelDistance(zenith, night), 100);
}

TEST_F(SkyBoxTest, FadesIntoTheFogColourAtAndBelowTheHorizonOnly) {
    camera.setRotation(glm::vec3(0.0f));
    render(0.0f, glm::vec3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ((Pixel{255, 0, 0, 255}), target->centre()) << "straight ahead lies the horizon";
    EXPECT_EQ((Pixel{255, 0, 0, 255}), target->at(0, 0)) << "below the horizon";
    EXPECT_NE((Pixel{255, 0, 0, 255}), target->at(kSize / 2, kSize - 1)) << "30 degrees up the sky shows";

    // Well above the fog band (the lowest row looks 21 degrees up) the fog colour makes no difference.
    camera.setRotation(glm::vec3(0.9f, 0.0f, 0.0f));
    const std::vector<Pixel> red = render(0.0f, glm::vec3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(0, differingPixels(red, render(0.0f, glm::vec3(0.0f, 0.0f, 1.0f))));
}

TEST_F(SkyBoxTest, LeavesGreyClearColourUnitZeroAndBothCubeMapsBound) {
    render();
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(0.5f, clear[0]);
    EXPECT_EQ(0.5f, clear[1]);
    EXPECT_EQ(0.5f, clear[2]);
    EXPECT_EQ(1.0f, clear[3]);

    GLint active = 0, unit0 = 0, unit1 = 0, program = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(GL_TEXTURE0, active);
    glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP, &unit0);
    glActiveTexture(GL_TEXTURE1);
    glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP, &unit1);
    glActiveTexture(GL_TEXTURE0);
    EXPECT_EQ(GLint(sky->cubeMaps[0]), unit0);
    EXPECT_EQ(GLint(sky->cubeMaps[1]), unit1);
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(GLint(sky->programId), program);
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

}  // namespace

TEST_F(SkyBoxTest, FreesItsCubeMapsWhenItGoes) {
    std::vector<GLuint> maps;
    {
        testing::internal::CaptureStdout();
        SkyBox other("skybox_test_small.dae");
        testing::internal::GetCapturedStdout();
        maps = other.cubeMaps;
        ASSERT_EQ(maps.size(), 2u);
        EXPECT_TRUE(glIsTexture(maps[0]));
    }
    EXPECT_FALSE(glIsTexture(maps[0]));
    EXPECT_FALSE(glIsTexture(maps[1]));
}
