#pragma once

#include "scene/SceneObject.h"

// Something the player heals at by touching it (a fountain). Each heal costs it spawn rate; once that
// is gone it heals no more. The world's ticks run the cooldown down while it still flows.
class Healer : public SceneObject {
public:
    Healer() = default;
    ~Healer() override = default;

    float healCooldown = 4.0f;  // seconds until the next heal is possible
    float spawnRate = 0.0f;
};
