#pragma once

#include "effects/Particle.h"
#include "effects/ParticleTexture.h"
#include "scene/Random.h"
#include "scene/SceneObject.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <functional>
#include <list>
#include <memory>

// An emitter of particles from its position. Particles are simulated on the CPU, kept sorted back to
// front, recycled when they die and drawn by Renderer::renderParticles. Its owner updates it.
class ParticleSystem : public SceneObject {
public:
    // `gravityEffect` is given in ten-thousandths. The emitter starts inactive.
    ParticleSystem(std::shared_ptr<ParticleTexture> texture, float pps, const glm::vec3& particleScale,
                   float lifeLength, const glm::vec3& direction, float averageSpeed, float directionDeviation,
                   float speedError, float gravityEffect);
    ~ParticleSystem() override;
    // The emitter draws through itself; a copy would draw through the original.
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    // One step of `dt` seconds: ages every particle (the dying ones wait at the emitter for reuse),
    // emits pps * dt particles (fractions below one per step add up across steps) and sorts back to
    // front. Does nothing for dt == 0 or while inactive.
    void update(float dt, const glm::vec3& cameraPosition);
    // Reuses the most recently died particle, or makes a new one at the emitter, flying along
    // `direction` with random deviation and speed error.
    void emitParticle();

    float pps;
    float lifeLength;
    glm::vec3 direction;
    float speedError;
    float directionDeviation;
    float averageSpeed;
    std::list<std::shared_ptr<Particle>> particles;  // alive and dead, never shrinks
    float cameraDistance = 0.0f;
    int blendDestination = GL_ONE_MINUS_SRC_ALPHA;  // glBlendFunc destination factor; GL_ONE is additive
    float extent;                                   // farthest a particle can fly
    float time = 0.0f;                              // seconds the emitter has run
    bool active = false;
    std::list<std::shared_ptr<Particle>> recycled;  // dead particles waiting for reuse
    float emitAccumulator = 0.0f;                   // particle fractions carried between frames
    float gravityEffect;
    glm::vec3 particleScale;
    std::shared_ptr<ParticleTexture> texture;
    // Draws 0 to 32767 (from the emitter's own generator unless a test scripts them).
    std::function<int()> random;

private:
    // A draw in [-1, 1].
    float randomUnit();

    Random ownDraws;
};
