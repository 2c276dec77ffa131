#pragma once

#include "entities/Rabbit.h"

// The airborne enemy: a rabbit with a diamond spinning above its head that drifts up and down at
// random, sinks when it is more than 10 units above the last ground it saw, and moves horizontally
// whether or not it stands on anything. It may cross water. The knock-back slide ignores obstacles.
class FlyingRabbit : public Rabbit {
public:
    // Mesh 0 of the templates is the diamond: unturned, a fifteenth of its size, 1.5 above the rabbit.
    explicit FlyingRabbit(const std::vector<std::shared_ptr<TexturedMesh>>& templates,
                          const EnemyHooks* hooks = nullptr);
    ~FlyingRabbit() override = default;

    void update(float dt, const glm::vec3& playerPosition, btDynamicsWorld* world) override;
    // One flying step at `speed` along the facing, with the random vertical drift and the diamond's spin.
    void fly(float speed, btDynamicsWorld* world, float dt);

private:
    void spinDiamond(float dt);
};
