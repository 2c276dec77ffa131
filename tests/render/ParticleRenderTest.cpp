#include "app/Globals.h"
#include "effects/ParticleShader.h"
#include "effects/ParticleSystem.h"
#include "render/Camera.h"
#include "render/Mesh.h"
#include "render/Renderer.h"
#include "support/GlContext.h"
#include "support/GlProbes.h"
#include "support/ScopedGlobals.h"

#include <gtest/gtest.h>

namespace {

using testsupport::Pixel;

// Particle systems drawn through the game's particle program by a camera at the origin looking along
// -z, into a 32 x 32 target. The process-wide lists are emptied for the test and put back after it.
class ParticleRenderTest : public testsupport::GlTest {
protected:
    ParticleRenderTest() {
        saved.swap(ParticleSystem::systems());
        savedByTexture.swap(ParticleSystem::systemsByTexture());
        camera->updateFrustum(0.0f);
        ParticleSystem::programId() = shader.init();
        ParticleSystem::initInstanceBuffer(*renderer);
        culledObjectCount = 0;
    }
    ~ParticleRenderTest() override {
        saved.swap(ParticleSystem::systems());
        savedByTexture.swap(ParticleSystem::systemsByTexture());
    }
    // A registered emitter at `position` that emits nothing by itself, holding particles of scale 0.5
    // at `at`, alive or not.
    std::shared_ptr<ParticleSystem> system(const glm::vec3& position, const std::vector<glm::vec3>& at = {},
                                           bool alive = true, GLuint texture = 0, std::uint32_t rows = 1) {
        auto atlas = std::make_shared<ParticleTexture>();
        atlas->textureId = texture ? texture : white;
        atlas->numberOfRows = rows;
        auto emitter = std::make_shared<ParticleSystem>(atlas, 0.0f, glm::vec3(1), 1.0f, glm::vec3(0), 1.0f, 0, 0, 0);
        emitter->setPosition(position);
        emitter->blendDestination = GL_ONE;
        for (const glm::vec3& p : at) {
            emitter->particles.push_back(
                std::make_shared<Particle>(p, glm::vec3(0), glm::vec3(0.5f), glm::vec3(0), 1.0f, atlas, 0.0f));
            emitter->particles.back()->alive = alive;
        }
        ParticleSystem::add(emitter);
        return emitter;
    }
    GLuint render() {
        return testsupport::countDuring(GL_PRIMITIVES_GENERATED, [&] { renderer->renderParticles(); });
    }

    testsupport::ScopedGlobals globals;
    std::list<std::shared_ptr<ParticleSystem>> saved;
    std::unordered_map<GLuint, std::list<std::shared_ptr<ParticleSystem>>> savedByTexture;
    std::shared_ptr<Camera> camera = std::make_shared<Camera>(1.0f);
    std::shared_ptr<Renderer> renderer = std::make_shared<Renderer>(camera);
    ParticleShader shader;
    GLuint white = testsupport::solidTexture({255, 255, 255, 255});
    testsupport::OffscreenTarget target{32};
};

TEST_F(ParticleRenderTest, AliveParticlesOfSystemsInViewAreDrawnFacingTheCameraAndTheStateIsLeftTidy) {
    auto emitter = system({0, 0, -5}, {{-1.5f, 0, -5}, {1.5f, 0, -5}});  // additive, as the game's trail
    system({0, 0, -5}, {{0, 0, -5}}, false);                             // burnt out, in the middle
    system({0, 0, -5});                                                  // has never emitted
    system({0, 0, 10}, {{0, 0, 10}});                                    // behind the camera
    glDisable(GL_DEPTH_TEST);
    EXPECT_EQ(render(), 2u * 2u) << "two quads of two triangles";
    EXPECT_EQ(culledObjectCount, 1) << "only the system behind the camera is counted";
    EXPECT_EQ(target.at(8, 16)[0], 255);
    EXPECT_EQ(target.at(24, 16)[0], 255);
    EXPECT_EQ(target.centre()[0], 0);
    EXPECT_EQ(emitter->particles.front()->rotation, camera->rotation);
    GLint destination = 0;
    glGetIntegerv(GL_BLEND_DST_RGB, &destination);
    EXPECT_EQ(destination, GL_ONE) << "each system's own blend factor";
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(ParticleRenderTest, AtlasFramesAreReadTopRowFirstAndCrossFaded) {
    // Two rows of 2 x 2 texel frames: frame 1 (top right) is green over blue, frame 2 (bottom left)
    // white, the rest red.
    const Pixel r{255, 0, 0, 255}, g{0, 255, 0, 255}, b{0, 0, 255, 255}, w{255, 255, 255, 255};
    auto emitter = system({0, 0, -5}, {{0, 0, -5}}, true,
                          testsupport::imageTexture(4, {r, r, g, g, r, r, b, b, w, w, r, r, w, w, r, r}), 2);
    Particle& particle = *emitter->particles.front();
    particle.scale = glm::vec3(1.0f);
    particle.texOffset1 = {0.5f, 0.0f};
    particle.texOffset2 = {0.0f, 0.5f};
    render();
    EXPECT_EQ(target.at(16, 19), g);
    EXPECT_EQ(target.at(16, 13), b);
    particle.blend = 0.5f;
    target.clear();
    render();
    const Pixel halfWay = target.at(16, 19);
    EXPECT_NEAR(halfWay[0], 128, 2);
    EXPECT_EQ(halfWay[1], 255);
    EXPECT_NEAR(halfWay[2], 128, 2);
}

TEST_F(ParticleRenderTest, MoreParticlesThanTheBufferHoldsAreCutAtItsRoomAndSaidOnce) {
    system({0, 0, -5}, std::vector<glm::vec3>(10001, glm::vec3(0, 0, -5)));
    testing::internal::CaptureStderr();
    EXPECT_EQ(render(), 2u * 10000u);
    render();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("10000"), std::string::npos);
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
}

}  // namespace
