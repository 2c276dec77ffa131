#pragma once

#include "objects/GameObject.h"

#include <glm/glm.hpp>

#include <string>

class btDynamicsWorld;

// A game object that walks: a small kinematic sphere body (radius 0.5, never deactivated) and the
// walking step shared by the player and the ground enemies, with ground and obstacle probes, the
// bounds of the playable square and the option to stay out of water. The body is not added to any
// world here; the owner of the world does that.
class GameEntity : public GameObject {
public:
    // Builds the body only; meshes are given later with addMesh (entities that share one model).
    GameEntity();
    // Loads the model (see GameObject) and builds the body; its user pointer is this object.
    explicit GameEntity(const std::string& modelName);
    ~GameEntity() override = default;

    // A new body in place of the old one, which must be out of every world: nothing of what it went
    // through carries over.
    void renewBody();

    // Per-frame behaviour of subclasses that act on their own.
    virtual void update(float dt, const glm::vec3& playerPosition, btDynamicsWorld* world) {}

    // Downward probe from half a unit above `from`, 2 units long; `hit` receives the hit point.
    bool isGroundBelow(const glm::vec3& from, btDynamicsWorld* world, glm::vec3& hit) const;
    // True when a step from `from` towards `to` (heights ignored) would run into something closer
    // than 0.9 at body height. Items and fountains never block; steps shorter than 0.001 never do.
    bool isPathBlocked(const glm::vec3& from, glm::vec3 to, btDynamicsWorld* world) const;
    // One walking step: `forward` and `sideways` along the entity's own z and x axes, plus
    // `vertical` * dt along its own y (`vertical` is normally this entity's verticalVelocity).
    // Stops the horizontal part at obstacles, keeps x and z inside the playable square, lands on the
    // ground (zeroing `vertical`) and, unless `waterAllowed`, refuses any step that would stand on water.
    void move(float forward, float sideways, float& vertical, bool waterAllowed, btDynamicsWorld* world, float dt);

    // A walker that slides (the cat) keeps the part of a blocked step that runs along the obstacle,
    // steps up onto ledges up to kStepUp high and stops rising under rock; the others stop at obstacles.
    bool slides = false;
    static constexpr float kStepUp = 0.8f;
    // How high above its feet a sliding walker's head is.
    static constexpr float kHeadHeight = 1.8f;

    float gravity = -6.0f;
    bool grounded = false;
    float verticalVelocity = 0.0f;
    float probeLength = 2.0f;
    glm::vec3 groundPoint{0.0f};

    // The playable square of the terrain, in x and z.
    static constexpr float kWorldMin = 1.0f;
    static constexpr float kWorldMax = 761.0f;

private:
    void createBody();
    // isPathBlocked, giving the obstacle's surface normal (facing the walker) when blocked.
    bool blockedAt(const glm::vec3& from, glm::vec3 to, btDynamicsWorld* world, glm::vec3* wall) const;
    // The part of the horizontal step `across` that runs along an obstacle with normal `wall`, when
    // that way is free; nothing otherwise.
    glm::vec3 slideAlong(const glm::vec3& across, const glm::vec3& wall, btDynamicsWorld* world) const;
    // Whether rock above keeps the head from rising from `from` to `to`.
    bool ceilingAbove(const glm::vec3& from, const glm::vec3& to, btDynamicsWorld* world) const;
    // One piece of the walking step (move splits long steps into pieces); false when the piece would
    // stand on water that the walker may not enter (nothing moves then).
    bool step(float forward, float sideways, float& vertical, bool waterAllowed, btDynamicsWorld* world, float dt);
    // Closest hit of a ray from `from` straight down over `length`.
    bool probeDown(const glm::vec3& from, float length, btDynamicsWorld* world, glm::vec3& hit,
                   const SceneObject** hitObject) const;
};
