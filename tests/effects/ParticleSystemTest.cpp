#include "effects/Particle.h"
#include "effects/ParticleSystem.h"
#include "game/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

namespace {

constexpr float kEps = 1e-5f;

std::shared_ptr<ParticleTexture> atlas(std::uint32_t rows, std::uint32_t textureId = 7) {
    auto texture = std::make_shared<ParticleTexture>();
    texture->textureId = textureId;
    texture->numberOfRows = rows;
    return texture;
}

// The game's trail emitter: 20 per second, 1 s life, falling at speed 1 with deviation 0.7.
std::shared_ptr<ParticleSystem> trail(float pps = 20.0f, float life = 1.0f, float deviation = 0.7f) {
    auto system = std::make_shared<ParticleSystem>(atlas(4), pps, glm::vec3(0.1f), life, glm::vec3(0, -1, 0), 1.0f,
                                                   deviation, 0.0f, 0.0f);
    system->active = true;
    return system;
}

Particle particle(float life, std::uint32_t rows = 4, float gravity = 0.0f, const glm::vec3& velocity = {}) {
    return Particle({0, 0, 0}, {0, 0, 0}, glm::vec3(1.0f), velocity, life, atlas(rows), gravity);
}

void expectVec(const glm::vec2& expected, const glm::vec2& actual) {
    EXPECT_NEAR(expected.x, actual.x, kEps);
    EXPECT_NEAR(expected.y, actual.y, kEps);
}

void expectVec(const glm::vec3& expected, const glm::vec3& actual) {
    EXPECT_NEAR(expected.x, actual.x, kEps);
    EXPECT_NEAR(expected.y, actual.y, kEps);
    EXPECT_NEAR(expected.z, actual.z, kEps);
}

TEST(ParticleSystem, ShortFramesSaveUpUntilOneParticleIsDue) {
    auto system = trail();
    for (int frame = 1; frame <= 3; ++frame) {
        system->update(0.016f, {0, 0, 10});
        EXPECT_TRUE(system->particles.empty()) << "frame " << frame;
    }
    EXPECT_NEAR(0.96f, system->emitAccumulator, kEps);

    system->update(0.016f, {0, 0, 10});
    EXPECT_EQ(1u, system->particles.size());
    EXPECT_EQ(0.0f, system->emitAccumulator) << "the excess 0.28 is dropped";
    EXPECT_NEAR(4 * 0.016f, system->time, kEps);
}

TEST(ParticleSystem, LongFramesEmitTheWholePartOnlyAndLeaveTheAccumulator) {
    auto system = trail();
    system->emitAccumulator = 0.5f;
    system->update(0.1f, {0, 0, 10});
    EXPECT_EQ(2u, system->particles.size());
    EXPECT_EQ(0.5f, system->emitAccumulator);

    system->update(0.125f, {0, 0, 10});  // 2.5 particles' worth: the half is not saved
    EXPECT_EQ(4u, system->particles.size());
    EXPECT_EQ(0.5f, system->emitAccumulator);

    // A saved-up particle is still emitted on top of a long frame's whole ones.
    system->emitAccumulator = 1.0f;
    system->update(0.1f, {0, 0, 10});
    EXPECT_EQ(7u, system->particles.size());
    EXPECT_EQ(0.0f, system->emitAccumulator);
}

TEST(ParticleSystem, ZeroFramesAndInactiveEmittersChangeNothing) {
    auto system = trail();
    system->update(0.1f, {0, 0, 10});
    ASSERT_EQ(2u, system->particles.size());
    const glm::vec3 where = system->particles.front()->position;
    const float elapsed = system->particles.front()->elapsedTime;

    system->emitAccumulator = 0.5f;
    system->update(0.0f, {0, 0, 10});
    system->active = false;
    system->update(0.1f, {0, 0, 10});

    EXPECT_EQ(2u, system->particles.size());
    expectVec(where, system->particles.front()->position);
    EXPECT_EQ(elapsed, system->particles.front()->elapsedTime);
    EXPECT_EQ(0.5f, system->emitAccumulator);
    EXPECT_NEAR(0.1f, system->time, kEps);
}

TEST(ParticleSystem, DeadParticlesWaitAtTheEmitterAndAreReused) {
    // One particle per 0.1 s frame, each living 0.25 s: three are enough at any time.
    auto system = trail(10.0f, 0.25f);
    for (int frame = 0; frame < 3; ++frame) system->update(0.1f, {0, 0, 10});
    ASSERT_EQ(3u, system->particles.size());
    std::vector<Particle*> created;
    for (const auto& p : system->particles) created.push_back(p.get());

    // The oldest one dies in the next frame, after the emitter has moved, and is emitted again.
    system->setPosition({5, 0, 0});
    Particle* oldest = nullptr;
    for (const auto& p : system->particles) {
        if (p->elapsedTime > 0.15f) oldest = p.get();
    }
    ASSERT_NE(nullptr, oldest);
    system->update(0.1f, {0, 0, 10});
    EXPECT_EQ(3u, system->particles.size());
    EXPECT_TRUE(system->recycled.empty());
    EXPECT_TRUE(oldest->alive);
    EXPECT_EQ(0.0f, oldest->elapsedTime);
    expectVec({5, 0, 0}, oldest->position);
    EXPECT_NEAR(1.0f, glm::length(oldest->velocity), kEps) << "it got a fresh velocity";

    for (int frame = 0; frame < 50; ++frame) system->update(0.1f, {0, 0, 10});
    EXPECT_EQ(3u, system->particles.size());
    for (const auto& p : system->particles) {
        EXPECT_NE(std::find(created.begin(), created.end(), p.get()), created.end());
    }

    // The game's emitter at 60 frames per second needs about pps * life + 1.
    auto game = trail();
    for (int frame = 0; frame < 300; ++frame) game->update(1.0f / 60.0f, {0, 0, 10});
    EXPECT_LE(game->particles.size(), 21u);
    EXPECT_GE(game->particles.size(), 15u);
}

TEST(ParticleSystem, SortsBackToFrontKeepingTiesInOrder) {
    auto system = trail(0.0f, 10.0f);  // emits nothing; the particles are placed by hand
    auto at = [&](float x) {
        auto p = std::make_shared<Particle>(glm::vec3(x, 0, 0), glm::vec3(0.0f), glm::vec3(1.0f), glm::vec3(0.0f),
                                            10.0f, system->texture, 0.0f);
        system->particles.push_back(p);
        return p.get();
    };
    Particle* near = at(1);
    Particle* farA = at(3);
    Particle* middle = at(2);
    Particle* farB = at(-3);
    system->update(0.1f, {0, 0, 0});

    const std::vector<Particle*> expected{farA, farB, middle, near};
    std::vector<Particle*> order;
    for (const auto& p : system->particles) order.push_back(p.get());
    EXPECT_EQ(expected, order);
    EXPECT_FLOAT_EQ(3.0f, farB->distance);
}

TEST(ParticleSystem, EmissionDrawsDirectionThenSpeedFromTheInjectedRandom) {
    auto system = std::make_shared<ParticleSystem>(atlas(4), 20.0f, glm::vec3(0.1f, 0.2f, 0.3f), 1.0f,
                                                   glm::vec3(0, -1, 0), 1.0f, 0.7f, 0.5f, 2.0f);
    system->setPosition({1, 2, 3});
    std::deque<int> draws{32767, 32767, 0, 32767};  // dx = +0.7, dy = +0.7, dz = -0.7, s = +0.5
    system->random = [&] {
        const int draw = draws.front();
        draws.pop_front();
        return draw;
    };
    system->emitParticle();
    EXPECT_TRUE(draws.empty());

    ASSERT_EQ(1u, system->particles.size());
    const Particle& p = *system->particles.front();
    expectVec(glm::normalize(glm::vec3(0.7f, -0.3f, -0.7f)) * 1.5f, p.velocity);
    expectVec({1, 2, 3}, p.position);
    expectVec({0, 0, 0}, p.rotation);
    expectVec({0.1f, 0.2f, 0.3f}, p.scale);
    EXPECT_EQ(1.0f, p.lifeLength);
    EXPECT_EQ(system->texture, p.texture);
    EXPECT_FLOAT_EQ(2e-4f, p.gravityEffect);
    EXPECT_TRUE(p.alive);

    // Normalising a zero heading would make the particle NaN; it rests instead.
    ParticleSystem still(atlas(4), 20.0f, glm::vec3(0.1f), 1.0f, {0, 0, 0}, 1.0f, 0.0f, 0.0f, 0.0f);
    still.emitParticle();
    expectVec({0, 0, 0}, still.particles.front()->velocity);
}

TEST(ParticleSystem, TrailParticlesAlwaysFall) {
    auto system = trail();
    system->random = [] { return 32767; };  // the most upward deviation there is
    system->emitParticle();
    expectVec(glm::normalize(glm::vec3(0.7f, -0.3f, 0.7f)), system->particles.back()->velocity);

    std::srand(11);
    system->random = randomDraw;
    for (int i = 0; i < 200; ++i) system->emitParticle();
    for (const auto& p : system->particles) {
        EXPECT_LT(p->velocity.y, 0.0f);
        EXPECT_NEAR(1.0f, glm::length(p->velocity), kEps);
    }
}

TEST(Particle, StepsThroughTheAtlasRowByRow) {
    Particle p = particle(1.0f);
    p.update(0.5f, {0, 0, 0});  // half-way: frame 8 fading into frame 9
    expectVec({0.0f, 0.5f}, p.texOffset1);
    expectVec({0.25f, 0.5f}, p.texOffset2);
    EXPECT_NEAR(0.0f, p.blend, kEps);

    Particle q = particle(1.0f);
    q.update(0.3f, {0, 0, 0});  // progress 4.8
    expectVec({0.0f, 0.25f}, q.texOffset1);
    expectVec({0.25f, 0.25f}, q.texOffset2);
    EXPECT_NEAR(0.8f, q.blend, 1e-4f);

    q.update(0.65f, {0, 0, 0});  // progress 15.2: the last frame has no successor
    expectVec({0.75f, 0.75f}, q.texOffset1);
    expectVec({0.75f, 0.75f}, q.texOffset2);
    EXPECT_NEAR(0.2f, q.blend, 1e-4f);

    Particle single = particle(1.0f, 0);  // an atlas without rows is one frame
    single.update(0.5f, {0, 0, 0});
    expectVec({0, 0}, single.texOffset1);
    expectVec({0, 0}, single.texOffset2);
}

TEST(Particle, GravityStepIsPerUpdateAndMotionPerSecond) {
    Particle slow = particle(10.0f, 4, 0.5f, {1, 0, 0});
    slow.update(0.5f, {0, 0, 0});
    expectVec({1, -3, 0}, slow.velocity);
    expectVec({0.5f, -1.5f, 0}, slow.position);

    Particle quick = particle(10.0f, 4, 0.5f, {1, 0, 0});
    quick.update(0.1f, {0, 0, 10});
    EXPECT_FLOAT_EQ(-3.0f, quick.velocity.y) << "a short frame gets the same gravity step";
    EXPECT_NEAR(glm::length(quick.position - glm::vec3(0, 0, 10)), quick.distance, kEps);
}

TEST(Particle, DiesAtTheEndOfItsLifeWithoutMoving) {
    Particle p = particle(1.0f, 4, 0.0f, {0, 1, 0});
    p.update(0.6f, {0, 0, 0});
    const glm::vec3 before = p.position;
    p.update(0.4f, {0, 0, 0});  // elapsed reaches the life length exactly
    EXPECT_FALSE(p.alive);
    expectVec(before, p.position);

    p.update(0.1f, {0, 0, 0});
    EXPECT_FLOAT_EQ(1.0f, p.elapsedTime) << "a dead particle does not age";
}

// The process-wide containers, saved and emptied around each test.
class ParticleSystemRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        savedSystems.swap(ParticleSystem::systems());
        savedByTexture.swap(ParticleSystem::systemsByTexture());
    }
    void TearDown() override {
        savedSystems.swap(ParticleSystem::systems());
        savedByTexture.swap(ParticleSystem::systemsByTexture());
    }

    std::list<std::shared_ptr<ParticleSystem>> savedSystems;
    std::unordered_map<GLuint, std::list<std::shared_ptr<ParticleSystem>>> savedByTexture;
};

TEST_F(ParticleSystemRegistry, AddAndRemoveKeepBothContainersInStep) {
    auto sparks = std::make_shared<ParticleSystem>(atlas(4, 3), 20.0f, glm::vec3(1), 1.0f, glm::vec3(0, -1, 0), 1.0f,
                                                   0.0f, 0.0f, 0.0f);
    auto moreSparks = std::make_shared<ParticleSystem>(sparks->texture, 20.0f, glm::vec3(1), 1.0f, glm::vec3(0, -1, 0),
                                                       1.0f, 0.0f, 0.0f, 0.0f);
    auto smoke = std::make_shared<ParticleSystem>(atlas(2, 9), 20.0f, glm::vec3(1), 1.0f, glm::vec3(0, 1, 0), 1.0f,
                                                  0.0f, 0.0f, 0.0f);
    ParticleSystem::add(sparks);
    ParticleSystem::add(moreSparks);
    ParticleSystem::add(smoke);
    auto& byTexture = ParticleSystem::systemsByTexture();
    EXPECT_EQ(3u, ParticleSystem::systems().size());
    ASSERT_EQ(2u, byTexture.size());
    EXPECT_EQ((std::list<std::shared_ptr<ParticleSystem>>{sparks, moreSparks}), byTexture[3]);

    ParticleSystem::remove(sparks.get());
    EXPECT_EQ((std::list<std::shared_ptr<ParticleSystem>>{moreSparks, smoke}), ParticleSystem::systems());
    EXPECT_EQ((std::list<std::shared_ptr<ParticleSystem>>{moreSparks}), byTexture[3]);

    ParticleSystem::remove(smoke.get());
    EXPECT_EQ(0u, byTexture.count(9)) << "an emptied texture entry goes";
    ParticleSystem::remove(smoke.get());  // twice is harmless
    EXPECT_EQ(1u, ParticleSystem::systems().size());
    EXPECT_EQ(1u, smoke.use_count()) << "nothing holds on to a removed system";
}

TEST_F(ParticleSystemRegistry, UpdateAllAdvancesEveryRegisteredSystem) {
    auto first = trail();
    auto second = trail();
    auto unregistered = trail();
    ParticleSystem::add(first);
    ParticleSystem::add(second);
    ParticleSystem::updateAll(0.1f, {0, 0, 10});
    EXPECT_EQ(2u, first->particles.size());
    EXPECT_EQ(2u, second->particles.size());
    EXPECT_TRUE(unregistered->particles.empty());
    EXPECT_FLOAT_EQ(10.0f, first->cameraDistance);
}

}  // namespace
