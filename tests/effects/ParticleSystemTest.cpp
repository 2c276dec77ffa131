#include "effects/Particle.h"
#include "effects/ParticleSystem.h"
#include "game/Random.h"
#include "support/Near.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace {

using testsupport::near;

const glm::vec3 kCamera(0, 0, 10);

// The game's trail emitter: 20 per second, 1 s life, falling at speed 1 with deviation 0.7, on a
// 4 x 4 atlas.
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
    // One particle per 0.1 s frame, each living 0.25 s: three are enough at any time.
    auto system = trail(10.0f, 0.25f);
    for (int frame = 0; frame < 3; ++frame) system->update(0.1f, kCamera);
    const std::list<std::shared_ptr<Particle>> created = system->particles;
    Particle& oldest = **std::max_element(created.begin(), created.end(),
                                          [](const auto& a, const auto& b) { return a->elapsedTime < b->elapsedTime; });
    system->setPosition({5, 0, 0});  // it dies in the next frame, after the emitter moved
    system->update(0.1f, kCamera);
    EXPECT_TRUE(oldest.alive && oldest.elapsedTime == 0.0f);
    EXPECT_TRUE(near(oldest.position, glm::vec3(5, 0, 0)));
    EXPECT_NEAR(glm::length(oldest.velocity), 1.0f, 1e-5f) << "it got a fresh velocity";
    for (int frame = 0; frame < 50; ++frame) system->update(0.1f, kCamera);
    EXPECT_EQ(std::set<std::shared_ptr<Particle>>(system->particles.begin(), system->particles.end()),
              std::set<std::shared_ptr<Particle>>(created.begin(), created.end()));

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
    std::srand(11);
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

}  // namespace
