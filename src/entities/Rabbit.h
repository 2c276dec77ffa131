#pragma once

#include "entities/EnemyHooks.h"
#include "objects/GameEntity.h"

#include <glm/glm.hpp>

#include <memory>
#include <vector>

class TexturedMesh;
class btDynamicsWorld;

// The hopping enemy. It watches for the player along a sight ray, faces it, keeps 3 to 4 units away
// and shoots at random intervals; two seconds after it last saw the player it wanders instead. A hit
// from the player's shot starts a knock-back slide (the contact rules set knockbackTarget and
// knockedBack). It is called "rabbit" so the contact rules recognise it; its kinematic body sits half
// a unit above its origin.
class Rabbit : public GameEntity {
public:
    // Copies each template mesh (sharing vertex data and material) and turns the copies into a
    // half-size rabbit facing -z. Needs no GL context. `hooks` (may be null) is where shots go; it
    // must outlive the rabbit (the enemy manager owns both).
    explicit Rabbit(const std::vector<std::shared_ptr<TexturedMesh>>& templates, const EnemyHooks* hooks = nullptr);
    ~Rabbit() override = default;

    // One frame of behaviour; nothing happens while the rabbit is hidden. Moves the body along.
    void update(float dt, const glm::vec3& playerPosition, btDynamicsWorld* world) override;

    // Casts the sight ray (sightRange long) from the eyes towards the player's chest; true when the
    // first thing it meets is the player, which also restarts timeSinceSeen.
    bool canSeePlayer(const glm::vec3& playerPosition, btDynamicsWorld* world);
    // One step forward at `speed` (negative backs away), horizontal only while grounded, under gravity;
    // never onto water.
    void walk(float speed, btDynamicsWorld* world, float dt);

    // The angle that turns unit vector `a` onto unit vector `b`: positive when that turn is
    // counter-clockwise (x towards y), negative otherwise.
    static float signedAngle(const glm::vec2& a, const glm::vec2& b);

    float sightRange = 10.0f;
    // How many times as often as usual it fires (its intervals are divided by it); above 0.
    float fireRate = 1.0f;
    // Zero fires at the first chasing frame; a new rabbit counts as not having seen the player for
    // the full forget time, so it wanders until it actually does.
    float shotCountdown = 0.0f;
    float timeSinceSeen = 2.0f;
    int hitPoints = 3;
    bool knockedBack = false;
    glm::vec3 knockbackTarget{0.0f};

protected:
    // One frame of the knock-back slide at 5 units per second. The step never passes the target, so
    // the slide ends there. With `stopAtObstacles`, an obstacle in the way ends it early.
    void slide(float dt, btDynamicsWorld* world, bool stopAtObstacles);
    // Turns to face the player (yaw set, not added); a player straight above or below keeps the facing.
    void facePlayer(const glm::vec3& playerPosition);
    // Counts down and, when due, fires at the player and draws the next interval (0.5 to 4.5 s).
    void shootAt(const glm::vec3& playerPosition, float dt);
    // Random turn of up to +-turnScale/2 * dt radians.
    void wanderTurn(float dt, double turnScale);
    // True while the player was seen within the forget time; casts the sight ray.
    bool isChasing(const glm::vec3& playerPosition, btDynamicsWorld* world, float dt);

    // The world's draws, or the rabbit's own when it has no world.
    Random& draws();

    const EnemyHooks* hooks = nullptr;

private:
    Random ownDraws;
};
