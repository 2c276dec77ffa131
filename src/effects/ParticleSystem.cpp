#include "effects/ParticleSystem.h"

#include "scene/Random.h"
#include "render/Mesh.h"
#include "render/Renderer.h"
#include "render/VaoLoader.h"

#include <algorithm>
#include <cmath>

namespace {

// The constructor's gravity argument is in ten-thousandths.
constexpr float kGravityUnit = 0.0001f;
// Room for 10 000 instance records of 21 floats.
constexpr GLsizeiptr kInstanceBufferBytes = 840000;

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
      random(randomDraw) {}

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

std::list<std::shared_ptr<ParticleSystem>>& ParticleSystem::systems() {
    static std::list<std::shared_ptr<ParticleSystem>> all;
    return all;
}

std::unordered_map<GLuint, std::list<std::shared_ptr<ParticleSystem>>>& ParticleSystem::systemsByTexture() {
    static std::unordered_map<GLuint, std::list<std::shared_ptr<ParticleSystem>>> byTexture;
    return byTexture;
}

void ParticleSystem::add(const std::shared_ptr<ParticleSystem>& system) {
    if (!system) return;
    systems().push_back(system);
    systemsByTexture()[system->texture ? system->texture->textureId : 0].push_back(system);
}

void ParticleSystem::remove(const ParticleSystem* system) {
    auto isSystem = [system](const std::shared_ptr<ParticleSystem>& entry) { return entry.get() == system; };
    systems().remove_if(isSystem);
    // Every entry is searched: the texture may have been swapped since the system was added.
    auto& byTexture = systemsByTexture();
    for (auto entry = byTexture.begin(); entry != byTexture.end();) {
        entry->second.remove_if(isSystem);
        entry = entry->second.empty() ? byTexture.erase(entry) : std::next(entry);
    }
}

void ParticleSystem::updateAll(float dt, const glm::vec3& cameraPosition) {
    for (const auto& system : systems()) system->update(dt, cameraPosition);
}

GLuint& ParticleSystem::programId() {
    static GLuint program = 0;
    return program;
}

void ParticleSystem::initInstanceBuffer(Renderer& renderer) {
    GLuint& buffer = instanceBuffer();
    if (buffer == 0 || !glIsBuffer(buffer)) {
        glGenBuffers(1, &buffer);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glBufferData(GL_ARRAY_BUFFER, kInstanceBufferBytes, nullptr, GL_STREAM_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    // Every renderer's quad needs the attributes, even when the buffer already exists.
    const GLuint vao = renderer.particleQuad->vaoId;
    for (int column = 0; column < 4; ++column) addInstancedAttribute(vao, 1 + column, 4, 4 * column);
    addInstancedAttribute(vao, 5, 4, 16);
    addInstancedAttribute(vao, 6, 1, 20);
}
