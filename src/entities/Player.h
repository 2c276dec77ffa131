#pragma once

#include "entities/PlayerKey.h"
#include "objects/GameEntity.h"
#include "scene/WorldEvent.h"

#include <glm/glm.hpp>

#include <string>
#include <vector>

class btDynamicsWorld;

// The cat the user steers: keyboard walking, strafing, turning and jumping on top of the entity
// walking step, plus a dash towards a clicked point of the terrain. Its body sits 1 above its origin.
class Player : public GameEntity {
public:
    // Loads the model, which must have at least four meshes (pillow, tail, eyes, body, in that
    // order); a model with fewer is reported and ends the program. Needs the current context; it
    // loads four textures and, the first time, builds the shared textured program, which leaves
    // that program current.
    explicit Player(const std::string& modelName);
    ~Player() override = default;

    // One frame. `keys` holds the states of the PlayerKey keys (nonzero when pressed); missing
    // entries count as released. Dashing ignores the keys. Moves the body along at the end.
    void update(float dt, const std::vector<int>& keys, btDynamicsWorld* world);
    // Starts a dash towards the terrain point where a ray from above the player's head to
    // `aimPoint` lands, passing through the player's own body; prints the name of whatever the ray
    // hits first.
    void moveTo(const glm::vec3& aimPoint, btDynamicsWorld* world);
    // Ends a dash under way, drops any vertical speed and forgets the ground it stood on: the player
    // stands still where it is put, as a new one would.
    void stop();
    // Where the player's shots start: 3 units up along the player's own y axis.
    glm::vec3 getProjectileSpawnPoint() const;

    float projectileSpeed = 6.0f;
    float turnSpeed = 3.0f;
    bool movingToTarget = false;
    glm::vec3 moveTarget{0.0f};
    // Where a jump or a dash starting is told; not owned, may be null.
    WorldEvents* events = nullptr;

private:
    void dashStep(float dt, btDynamicsWorld* world);
    void keyboardStep(float dt, const std::vector<int>& keys, btDynamicsWorld* world);
    void endDash(btDynamicsWorld* world);
};
