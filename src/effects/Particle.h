#pragma once

#include "effects/ParticleTexture.h"
#include "scene/SceneObject.h"

#include <glm/glm.hpp>

#include <memory>

// One camera-facing quad of a particle system: it flies, ages, steps through the frames of its
// atlas and dies. Its emitter recycles it instead of freeing it.
class Particle : public SceneObject {
public:
    // An alive particle showing the atlas's first frame.
    Particle(const glm::vec3& position, const glm::vec3& rotation, const glm::vec3& scale, const glm::vec3& velocity,
             float lifeLength, std::shared_ptr<ParticleTexture> texture, float gravityEffect);
    ~Particle() override;

    // Ages the particle by `dt`; once its life is over it only flags itself dead and stays where it
    // is. Otherwise it picks its atlas frames, takes one gravity step (per update, not per second),
    // moves and measures its distance to the camera. A dead particle is left alone.
    void update(float dt, const glm::vec3& cameraPosition);

    glm::vec3 velocity{0.0f};  // units per second
    float lifeLength = 0.0f;   // seconds
    float elapsedTime = 0.0f;  // seconds since (re)birth
    bool alive = true;
    float gravityEffect = 0.0f;
    std::shared_ptr<ParticleTexture> texture;
    glm::vec2 texOffset1{0.0f};  // atlas offset of the current frame
    glm::vec2 texOffset2{0.0f};  // atlas offset of the next frame
    float blend = 0.0f;          // progress from the first frame to the second, in [0, 1)
    float distance = 0.0f;       // to the camera at the last update

private:
    void updateTextureFrames();
};
