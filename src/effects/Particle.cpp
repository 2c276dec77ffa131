#include "effects/Particle.h"

#include <algorithm>
#include <cmath>

namespace {

// Downward speed each update adds per unit of gravity effect.
constexpr float kGravityStep = 6.0f;

glm::vec2 frameOffset(int frame, int rows) {
    return glm::vec2(static_cast<float>(frame % rows), static_cast<float>(frame / rows)) / static_cast<float>(rows);
}

}  // namespace

Particle::Particle(const glm::vec3& p, const glm::vec3& r, const glm::vec3& s, const glm::vec3& v, float life,
                   std::shared_ptr<ParticleTexture> atlas, float gravity)
    : velocity(v), lifeLength(life), gravityEffect(gravity), texture(std::move(atlas)) {
    position = p;
    rotation = r;
    scale = s;
}

Particle::~Particle() = default;

void Particle::update(float dt, const glm::vec3& cameraPosition) {
    if (!alive) return;
    elapsedTime += dt;
    alive = lifeLength > elapsedTime;
    if (!alive) return;

    updateTextureFrames();
    velocity.y -= gravityEffect * kGravityStep;
    position += velocity * dt;
    distance = glm::length(position - cameraPosition);
}

void Particle::updateTextureFrames() {
    // An atlas without rows would divide by zero; it is shown as a single frame.
    const int rows = texture && texture->numberOfRows > 0 ? static_cast<int>(texture->numberOfRows) : 1;
    const int stages = rows * rows;
    const float progress = (elapsedTime / lifeLength) * static_cast<float>(stages);
    // Rounding can bring a particle just short of its end to `stages`; it still shows the last frame.
    const int first = std::clamp(static_cast<int>(std::floor(progress)), 0, stages - 1);
    const int second = first < stages - 1 ? first + 1 : first;
    blend = progress - std::floor(progress);
    texOffset1 = frameOffset(first, rows);
    texOffset2 = frameOffset(second, rows);
}
