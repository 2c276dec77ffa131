#include "effects/Particle.h"

#include "effects/ParticleSystem.h"
#include "render/Camera.h"
#include "support/GlContext.h"
#include "support/GlProbes.h"
#include "support/Near.h"
#include "view/Renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

using testsupport::near;
using testsupport::Pixel;

const glm::vec3 kCamera(0, 0, 10);

// The game's trail: 20 a second, 1 s life, falling at speed 1, deviation 0.7, on a 4 x 4 atlas.
std::shared_ptr<ParticleSystem> trail(float pps = 20.0f, float life = 1.0f, GLuint texture = 7) {
    auto atlas = std::make_shared<ParticleTexture>();
    atlas->textureId = texture;
    atlas->numberOfRows = 4;
    auto system = std::make_shared<ParticleSystem>(atlas, pps, glm::vec3(0.1f), life, glm::vec3(0, -1, 0), 1.0f, 0.7f,
                                                   0.0f, 0.0f);
    system->active = true;
    return system;
}

TEST(ParticleSystem, ShortFramesSaveUpForOneParticleAndLongFramesEmitTheirWholePart) {
    auto system = trail();
    for (int frame = 1; frame <= 3; ++frame) system->update(0.016f, kCamera);
    EXPECT_TRUE(system->particles.empty());
    system->update(0.016f, kCamera);
    EXPECT_EQ(system->particles.size(), 1u);
    EXPECT_EQ(system->emitAccumulator, 0.0f) << "the excess 0.28 is dropped";
    system->emitAccumulator = 0.5f;
    system->update(0.125f, kCamera);  // 2.5 particles' worth: the half is not saved
    EXPECT_EQ(system->particles.size(), 3u);
    EXPECT_EQ(system->emitAccumulator, 0.5f);
    system->emitAccumulator = 1.0f;  // a saved-up particle comes on top of a long frame's whole ones
    system->update(0.1f, kCamera);
    EXPECT_EQ(system->particles.size(), 6u);
    const glm::vec3 where = system->particles.front()->position;
    system->update(0.0f, kCamera);
    system->active = false;
    system->update(0.1f, kCamera);
    EXPECT_TRUE(near(system->particles.front()->position, where)) << "zero frames and inactive emitters do nothing";
    EXPECT_EQ(system->particles.size(), 6u);
}

TEST(ParticleSystem, DeadParticlesWaitAtTheEmitterForReuseAndTheLiveOnesAreSortedBackToFront) {
    // One particle per 0.1 s frame, each living 0.25 s: three are enough, reused where the emitter is.
    auto system = trail(10.0f, 0.25f);
    for (int frame = 0; frame < 3; ++frame) system->update(0.1f, kCamera);
    const std::list<std::shared_ptr<Particle>> created = system->particles;
    system->setPosition({5, 0, 0});
    for (int frame = 0; frame < 50; ++frame) system->update(0.1f, kCamera);
    EXPECT_EQ(std::set<std::shared_ptr<Particle>>(system->particles.begin(), system->particles.end()),
              std::set<std::shared_ptr<Particle>>(created.begin(), created.end()));
    for (const auto& p : system->particles) EXPECT_LT(glm::length(p->position - glm::vec3(5, 0, 0)), 0.3f);

    auto still = trail(0.0f, 10.0f);  // emits nothing; four particles placed by hand, two as far
    std::vector<Particle*> placed;
    for (float x : {1.0f, 3.0f, 2.0f, -3.0f}) {
        still->particles.push_back(std::make_shared<Particle>(glm::vec3(x, 0, 0), glm::vec3(0), glm::vec3(1),
                                                              glm::vec3(0), 10.0f, still->texture, 0.0f));
        placed.push_back(still->particles.back().get());
    }
    still->update(0.1f, glm::vec3(0.0f));
    std::vector<Particle*> order;
    for (const auto& p : still->particles) order.push_back(p.get());
    EXPECT_EQ(order, (std::vector<Particle*>{placed[1], placed[3], placed[2], placed[0]}));
}

TEST(ParticleSystem, EmittedParticlesOfTheTrailAlwaysFall) {
    auto falling = trail();
    for (int i = 0; i < 200; ++i) falling->emitParticle();
    falling->random = [] { return 32767; };  // the most upward deviation there is
    falling->emitParticle();
    for (const auto& q : falling->particles) EXPECT_LT(q->velocity.y, 0.0f);
}

TEST(Particle, StepsThroughTheAtlasRowByRowFallsByAGravityStepPerUpdateAndDiesInPlace) {
    const struct {
        float elapsed;
        glm::vec2 first, second;
        float blend;
    } frames[] = {{0.3f, {0.0f, 0.25f}, {0.25f, 0.25f}, 0.8f},     // frame 4.8 of 16
                  {0.95f, {0.75f, 0.75f}, {0.75f, 0.75f}, 0.2f}};  // the last frame has no successor
    for (const auto& f : frames) {
        Particle p({0, 0, 0}, {0, 0, 0}, glm::vec3(1), {1, 0, 0}, 1.0f, trail()->texture, 0.0f);
        p.update(f.elapsed, kCamera);
        EXPECT_EQ(glm::vec4(p.texOffset1, p.texOffset2), glm::vec4(f.first, f.second)) << f.elapsed;
        EXPECT_NEAR(p.blend, f.blend, 1e-4f) << f.elapsed;
    }
    Particle p({0, 0, 0}, {0, 0, 0}, glm::vec3(1), {1, 0, 0}, 1.0f, trail()->texture, 0.5f);
    p.update(0.5f, kCamera);
    EXPECT_TRUE(near(p.velocity, glm::vec3(1, -3, 0)));
    EXPECT_TRUE(near(p.position, glm::vec3(0.5f, -1.5f, 0)));
    EXPECT_NEAR(p.distance, glm::length(p.position - kCamera), 1e-5f);
    p.update(0.1f, kCamera);
    EXPECT_FLOAT_EQ(p.velocity.y, -6.0f) << "a short frame gets the same gravity step";
    const glm::vec3 before = p.position;
    p.update(0.4f, kCamera);  // elapsed reaches the life length exactly
    EXPECT_FALSE(p.alive);
    EXPECT_EQ(p.position, before);
    p.update(0.1f, kCamera);
    EXPECT_FLOAT_EQ(p.elapsedTime, 1.0f) << "a dead particle does not age";
}

// Systems drawn by a camera at the origin looking along -z.
class ParticleRenderTest : public testsupport::GlTest {
protected:
    ParticleRenderTest() { camera->updateFrustum(0.0f); }
    // A silent emitter, drawn by render(), at `position` holding particles of scale 0.5 at `at`.
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
        batches[atlas->textureId].push_back(emitter);
        return emitter;
    }
    GLuint render() {
        return testsupport::countDuring(GL_PRIMITIVES_GENERATED, [&] { renderer->renderParticles(batches); });
    }

    ParticleBatches batches;
    int culled = 0;
    bool culling = true;
    float brightness = 1.0f;
    std::shared_ptr<Camera> camera = std::make_shared<Camera>(1.0f, &culled);
    std::shared_ptr<Renderer> renderer = std::make_shared<Renderer>(camera, DrawSwitches{&culling, &brightness});
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
    EXPECT_EQ(culled, 1) << "only the system behind the camera is counted";
    EXPECT_EQ(target.at(8, 16)[0], 255);
    EXPECT_EQ(target.at(24, 16)[0], 255);
    EXPECT_EQ(target.centre()[0], 0);
    EXPECT_EQ(emitter->particles.front()->rotation, glm::vec3(0.0f)) << "drawing turns copies, not the particles";
    GLint destination = 0;
    glGetIntegerv(GL_BLEND_DST_RGB, &destination);
    EXPECT_EQ(destination, GL_ONE) << "each system's own blend factor";
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    // Primed on a world's first picture, each system is drawn as one particle shrunk to a point: the
    // driver builds their drawing then, and nothing shows, though the world's origin is now in view.
    camera->setTransform({0, 0, 5}, {0, 0, 0}, glm::vec3(1.0f));
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(testsupport::countDuring(GL_PRIMITIVES_GENERATED, [&] { renderer->primeParticles(batches); }), 4u * 2u);
    for (const testsupport::Pixel& p : target.pixels()) ASSERT_EQ(p[0] + p[1] + p[2], 0);
}

TEST_F(ParticleRenderTest, AtlasFramesAreReadTopRowFirstAndCrossFaded) {
    // 2 x 2 frames of 2 x 2 texels: frame 1 (top right) green over blue, frame 2 white, the rest red.
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
