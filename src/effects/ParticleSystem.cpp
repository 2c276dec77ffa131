#include "effects/ParticleSystem.h"

#include <algorithm>
#include <cmath>

namespace {

// The constructor's gravity argument is in ten-thousandths.
constexpr float kGravityUnit = 0.0001f;

}  // namespace

ParticleSystem::ParticleSystem(std::shared_ptr<ParticleTexture> atlas, float particlesPerSecond,
                               const glm::vec3& newParticleScale, float life, const glm::vec3& baseDirection,
                               float speed, float deviation, float speedDeviation, float gravity)
    : pps(particlesPerSecond),
      lifeLength(life),
      direction(baseDirection),
      speedError(speedDeviation),
      directionDeviation(deviation),
      averageSpeed(speed),
      extent((speed + speedDeviation) * life),
      gravityEffect(gravity * kGravityUnit),
      particleScale(newParticleScale),
      texture(std::move(atlas)),
      random([this] { return ownDraws.draw(); }) {}

ParticleSystem::~ParticleSystem() = default;

void ParticleSystem::update(float dt, const glm::vec3& cameraPosition) {
    if (dt == 0.0f || !active) return;
    cameraDistance = glm::length(position - cameraPosition);
    time += dt;

    for (const auto& particle : particles) {
        const bool wasAlive = particle->alive;
        particle->update(dt, cameraPosition);
        if (wasAlive && !particle->alive) {
            particle->setPosition(position);
            recycled.push_back(particle);
        }
    }

    // A frame worth less than one particle saves its share; once the shares reach one, a particle
    // is emitted and the excess dropped.
    const float count = dt * pps;
    if (count < 1.0f) emitAccumulator += count;
    const int whole = static_cast<int>(std::floor(count));
    for (int i = 0; i < whole; ++i) emitParticle();
    if (emitAccumulator >= 1.0f) {
        emitParticle();
        emitAccumulator = 0.0f;
    }

    // Back to front for blending; std::list::sort is stable, so equally far particles keep their order.
    particles.sort([](const std::shared_ptr<Particle>& a, const std::shared_ptr<Particle>& b) {
        return a->distance > b->distance;
    });
}

float ParticleSystem::randomUnit() { return 2.0f * static_cast<float>(random()) / 32767.0f - 1.0f; }

void ParticleSystem::emitParticle() {
    const float dx = randomUnit() * directionDeviation;
    const float dy = randomUnit() * directionDeviation;
    const float dz = randomUnit() * directionDeviation;
    const float s = randomUnit() * speedError;

    const glm::vec3 heading = direction + glm::vec3(dx, dy, dz);
    // Normalising a zero heading would give NaN and lose the particle; it stays put instead.
    const float length = glm::length(heading);
    const glm::vec3 velocity = length > 0.0f ? heading / length * (averageSpeed + s) : glm::vec3(0.0f);

    if (!recycled.empty()) {
        std::shared_ptr<Particle> particle = recycled.back();
        recycled.pop_back();
        particle->velocity = velocity;
        particle->alive = true;
        particle->elapsedTime = 0.0f;
        return;
    }
    particles.push_back(std::make_shared<Particle>(position, glm::vec3(0.0f), particleScale, velocity, lifeLength,
                                                   texture, gravityEffect));
}
