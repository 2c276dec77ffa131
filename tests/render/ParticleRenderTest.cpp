#include "app/Globals.h"
#include "effects/ParticleShader.h"
#include "effects/ParticleSystem.h"
#include "render/Camera.h"
#include "render/Mesh.h"
#include "render/Renderer.h"
#include "render/VaoLoader.h"
#include "support/GlContext.h"
#include "support/GlProbes.h"
#include "support/OffscreenTarget.h"

#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using testsupport::countDuring;
using testsupport::imageTexture;
using testsupport::Pixel;

constexpr int kTargetSize = 32;
constexpr float kHalfTurn = 3.14159265f;

GLint instanceBufferSize() {
    GLint size = 0;
    glBindBuffer(GL_ARRAY_BUFFER, instanceBuffer());
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return size;
}

std::vector<float> instanceData(int floats) {
    std::vector<float> data(static_cast<size_t>(floats));
    glBindBuffer(GL_ARRAY_BUFFER, instanceBuffer());
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, floats * static_cast<GLsizeiptr>(sizeof(float)), data.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return data;
}

// Particle systems drawn through the real particle program by a camera at the origin looking along -z.
// The process-wide containers and program are saved and emptied around each test.
class ParticleRenderTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        savedSystems.swap(ParticleSystem::systems());
        savedByTexture.swap(ParticleSystem::systemsByTexture());
        savedProgram = ParticleSystem::programId();

        camera = std::make_shared<Camera>(1.0f);
        camera->updateFrustum(0.0f);
        renderer = std::make_shared<Renderer>(camera);
        // Programs other parts of the game provide may not build in this checkout.
        while (glGetError() != GL_NO_ERROR) {}
        shader = std::make_shared<ParticleShader>();
        ParticleSystem::programId() = shader->init();
        ASSERT_TRUE(shader->linked);
        ParticleSystem::initInstanceBuffer(*renderer);
        culledObjectCount = 0;
        white = imageTexture(1, {{255, 255, 255, 255}});
    }
    void TearDown() override {
        glDeleteTextures(1, &white);
        savedSystems.swap(ParticleSystem::systems());
        savedByTexture.swap(ParticleSystem::systemsByTexture());
        ParticleSystem::programId() = savedProgram;
        EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
    }

    // A registered, additive emitter at `position` that emits nothing by itself.
    std::shared_ptr<ParticleSystem> system(const glm::vec3& position, GLuint textureId, std::uint32_t rows = 1) {
        auto atlas = std::make_shared<ParticleTexture>();
        atlas->textureId = textureId;
        atlas->numberOfRows = rows;
        auto emitter = std::make_shared<ParticleSystem>(atlas, 0.0f, glm::vec3(1.0f), 1.0f, glm::vec3(0, -1, 0), 1.0f,
                                                        0.0f, 0.0f, 0.0f);
        emitter->setPosition(position);
        emitter->blendDestination = GL_ONE;
        ParticleSystem::add(emitter);
        return emitter;
    }

    static std::shared_ptr<Particle> particle(ParticleSystem& emitter, const glm::vec3& position, float scale,
                                              bool alive = true) {
        auto p = std::make_shared<Particle>(position, glm::vec3(0.0f), glm::vec3(scale), glm::vec3(0.0f), 1.0f,
                                            emitter.texture, 0.0f);
        p->alive = alive;
        emitter.particles.push_back(p);
        return p;
    }

    GLuint render() {
        return countDuring(GL_PRIMITIVES_GENERATED, [&] { renderer->renderParticles(); });
    }

    std::list<std::shared_ptr<ParticleSystem>> savedSystems;
    std::unordered_map<GLuint, std::list<std::shared_ptr<ParticleSystem>>> savedByTexture;
    GLuint savedProgram = 0;
    std::shared_ptr<Camera> camera;
    std::shared_ptr<Renderer> renderer;
    std::shared_ptr<ParticleShader> shader;
    GLuint white = 0;
};

TEST_F(ParticleRenderTest, InstanceBufferIsMadeOnceAndServesEveryRendererWiredToIt) {
    glDeleteBuffers(1, &instanceBuffer());
    instanceBuffer() = 0;
    ParticleSystem::initInstanceBuffer(*renderer);
    const GLuint buffer = instanceBuffer();
    auto another = std::make_shared<Renderer>(camera);  // as a second Game in the same process makes
    auto unwired = std::make_shared<Renderer>(camera);
    ParticleSystem::initInstanceBuffer(*another);

    EXPECT_NE(0u, buffer);
    EXPECT_EQ(buffer, instanceBuffer());
    EXPECT_EQ(840000, instanceBufferSize());

    auto emitter = system({0, 0, -5}, white);
    particle(*emitter, {0, 0, -5}, 0.5f);
    EXPECT_EQ(2u, render());
    EXPECT_EQ(2u, countDuring(GL_PRIMITIVES_GENERATED, [&] { another->renderParticles(); }));

    // Its instance attributes would be read from client memory: nothing is drawn, the state is tidy.
    glDisable(GL_DEPTH_TEST);
    testing::internal::CaptureStderr();
    EXPECT_EQ(0u, countDuring(GL_PRIMITIVES_GENERATED, [&] { unwired->renderParticles(); }));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(ParticleRenderTest, DrawsAliveParticlesFromOneInstanceUploadAndTidiesUp) {
    testsupport::OffscreenTarget target(kTargetSize);
    auto emitter = system({0, 0, -5}, white);
    emitter->blendDestination = GL_ONE_MINUS_SRC_ALPHA;
    auto left = particle(*emitter, {-1.5f, 0, -5}, 0.5f);
    particle(*emitter, {0, 0, -5}, 0.5f, false);
    auto right = particle(*emitter, {1.5f, 0, -5}, 0.5f);
    right->texOffset1 = {0.25f, 0.5f};
    right->texOffset2 = {0.5f, 0.75f};
    right->blend = 0.375f;

    glDisable(GL_DEPTH_TEST);
    EXPECT_EQ(2u * 2u, render()) << "two quads of two triangles";
    EXPECT_EQ(255, target.at(8, 16)[0]);
    EXPECT_EQ(255, target.at(24, 16)[0]);
    EXPECT_EQ(0, target.centre()[0]) << "the dead particle in the middle is not drawn";
    EXPECT_EQ(0, culledObjectCount);

    ASSERT_EQ(2 * 21 * 4, instanceBufferSize());
    const std::vector<float> data = instanceData(2 * 21);
    const glm::mat4 leftModel = left->getModelMatrix();
    EXPECT_EQ(std::vector<float>(glm::value_ptr(leftModel), glm::value_ptr(leftModel) + 16),
              std::vector<float>(data.begin(), data.begin() + 16));
    EXPECT_EQ((std::vector<float>{0.25f, 0.5f, 0.5f, 0.75f, 0.375f}),
              std::vector<float>(data.begin() + 21 + 16, data.end()));

    GLint destination = 0, vertexArray = -1;
    glGetIntegerv(GL_BLEND_DST_RGB, &destination);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    EXPECT_EQ(GL_ONE_MINUS_SRC_ALPHA, destination) << "the system's own blend factor";
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(0, vertexArray);
    glBindVertexArray(renderer->particleQuad->vaoId);
    for (GLuint attribute = 0; attribute <= 6; ++attribute) {
        GLint enabled = 1;
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        EXPECT_EQ(0, enabled) << "attribute " << attribute;
    }
    glBindVertexArray(0);
}

TEST_F(ParticleRenderTest, ParticlesTurnToFaceTheCamera) {
    testsupport::OffscreenTarget target(kTargetSize);
    camera->setRotation({0, kHalfTurn / 2, 0});  // looking along -x, at the quads' edges
    camera->updateFrustum(0.0f);
    auto emitter = system({-5, 0, 0}, white);
    auto p = particle(*emitter, {-5, 0, 0}, 1.0f);

    render();
    EXPECT_EQ(255, target.centre()[0]);
    EXPECT_EQ(camera->rotation, p->rotation);
}

TEST_F(ParticleRenderTest, AtlasFramesAreReadTopRowFirstAndCrossFaded) {
    // Two rows of 2 x 2 texel frames: frame 1 (top right) is green over blue, frame 2 (bottom left)
    // is white, the rest red.
    const Pixel r{255, 0, 0, 255}, g{0, 255, 0, 255}, b{0, 0, 255, 255}, w{255, 255, 255, 255};
    const GLuint atlas = imageTexture(4, {r, r, g, g,  //
                                          r, r, b, b,  //
                                          w, w, r, r,  //
                                          w, w, r, r});
    testsupport::OffscreenTarget target(kTargetSize);
    auto emitter = system({0, 0, -5}, atlas, 2);
    auto p = particle(*emitter, {0, 0, -5}, 1.0f);
    p->texOffset1 = {0.5f, 0.0f};
    p->texOffset2 = {0.0f, 0.5f};

    render();
    const Pixel upper = target.at(16, 19), lower = target.at(16, 13);
    EXPECT_EQ((Pixel{0, 255, 0, 255}), upper);
    EXPECT_EQ((Pixel{0, 0, 255, 255}), lower);

    p->blend = 0.5f;
    target.clear();
    render();
    const Pixel halfWay = target.at(16, 19);
    glDeleteTextures(1, &atlas);
    EXPECT_NEAR(128, halfWay[0], 2);
    EXPECT_EQ(255, halfWay[1]);
    EXPECT_NEAR(128, halfWay[2], 2);
}

TEST_F(ParticleRenderTest, OnlyNonEmptySystemsInViewAreDrawnOrCounted) {
    auto behind = system({0, 0, 10}, white);
    particle(*behind, {0, 0, 10}, 0.5f);
    system({0, 0, -5}, white);  // has never emitted
    auto burntOut = system({0, 0, -5}, white);
    particle(*burntOut, {0, 0, -5}, 0.5f, false);
    glBindBuffer(GL_ARRAY_BUFFER, instanceBuffer());
    glBufferData(GL_ARRAY_BUFFER, 840000, nullptr, GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    EXPECT_EQ(0u, render());
    EXPECT_EQ(1, culledObjectCount) << "only the system behind the camera is counted";
    EXPECT_EQ(840000, instanceBufferSize()) << "nothing was uploaded";
}

TEST_F(ParticleRenderTest, MoreParticlesThanTheBufferHoldsAreCutAtItsRoom) {
    auto emitter = system({0, 0, -5}, white);
    for (int i = 0; i < 10001; ++i) particle(*emitter, {0, 0, -5}, 0.01f);

    testing::internal::CaptureStderr();
    const GLuint drawn = render();
    render();
    const std::string errors = testing::internal::GetCapturedStderr();

    EXPECT_EQ(2u * 10000u, drawn);
    EXPECT_EQ(840000, instanceBufferSize());
    EXPECT_NE(std::string::npos, errors.find("10000"));
    EXPECT_EQ(errors.find('\n'), errors.rfind('\n')) << "said once: " << errors;
}

}  // namespace
