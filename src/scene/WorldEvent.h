#pragma once

#include <glm/glm.hpp>

#include <vector>

// Something that happened in a world during one tick, at the place where the rules decided it. The
// world collects them tick by tick; the game passes them on (to the sound, the score book, the HUD),
// and tests read a world's story from them. Positions are world coordinates.
struct WorldEvent {
    enum class Kind {
        PlayerShot,  // the cat fired: `at` is the muzzle
        EnemyShot,   // a rabbit fired: `at` is where the shot starts
        PlayerHit,   // an enemy shot hit the cat: `at` the cat, `from` where the shot was fired
        RabbitHit,   // a player's shot hit a standing rabbit at `at`
        RabbitFell,  // ... and that hit was its last (follows the RabbitHit)
        Diamond,     // the cat took the diamond at `at`
        Heal,        // the fountain at `at` healed the cat
        Jump,        // the cat left the ground
        Dash,        // the cat started a dash
        TimeUp,      // the round ended: its time ran out
        HealthGone,  // the round ended: the cat's health ran out
    };

    Kind kind;
    glm::vec3 at{0.0f};
    glm::vec3 from{0.0f};
};

using WorldEvents = std::vector<WorldEvent>;
