#pragma once

#include "effects/Particle.h"
#include "effects/ParticleTexture.h"
#include "scene/SceneObject.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <functional>
#include <list>
#include <memory>
#include <unordered_map>

class Renderer;

// An emitter of particles from its position. Particles are simulated on the CPU, kept sorted back to
// front, recycled when they die and drawn by Renderer::renderParticles from the process-wide map.
class ParticleSystem : public SceneObject {
public:
    // `gravityEffect` is given in ten-thousandths. The emitter starts inactive.
    ParticleSystem(std::shared_ptr<ParticleTexture> texture, float pps, const glm::vec3& particleScale,
                   float lifeLength, const glm::vec3& direction, float averageSpeed, float directionDeviation,
                   float speedError, float gravityEffect);
    ~ParticleSystem() override;

    // One frame: ages every particle (the dying ones wait at the emitter for reuse), emits pps * dt
    // particles (fractions below one per frame add up across frames) and sorts back to front.
    // Does nothing for dt == 0 or while inactive.
    void update(float dt, const glm::vec3& cameraPosition);
    // Reuses the most recently died particle, or makes a new one at the emitter, flying along
    // `direction` with random deviation and speed error.
    void emitParticle();

    // Every system the frame update advances.
    static std::list<std::shared_ptr<ParticleSystem>>& systems();
    // The systems by texture name, as the renderer walks them.
    static std::unordered_map<GLuint, std::list<std::shared_ptr<ParticleSystem>>>& systemsByTexture();
    // Registers `system` in both containers (under its texture's name).
    static void add(const std::shared_ptr<ParticleSystem>& system);
    // Takes `system` out of both containers; a texture left without systems loses its entry.
    static void remove(const ParticleSystem* system);
    static void updateAll(float dt, const glm::vec3& cameraPosition);
    // The particle program, set by whoever builds the ParticleShader; 0 means particles are not drawn.
    static GLuint& programId();
    // Creates the shared per-instance buffer (10 000 records of 21 floats, once per process) and points
    // attributes 1 to 6 of `renderer.particleQuad` at it. Needs the current context; leaves the
    // array buffer and vertex array unbound.
    static void initInstanceBuffer(Renderer& renderer);

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
    // Draws 0 to 32767; tests script it.
    std::function<int()> random;

private:
    // A draw in [-1, 1].
    float randomUnit();
};
