#pragma once

#include "entities/PlayerKey.h"

#include <glm/glm.hpp>

#include <cstdint>

// Everything the player asks of one tick of the world, in a form that does not depend on the window
// or the graphics level: held keys, turns in radians, and the aim as a direction seen from the eye.
// A recording of these, tick by tick, plays the same round again anywhere.
struct TickInput {
    uint8_t keys = 0;                  // bit k set while PlayerKey k is held
    bool fire = false;                 // the cat fires at the aim point this tick
    bool dash = false;                 // the cat dashes to the ground point under the aim this tick
    float turn = 0.0f;                 // radians to turn the cat about the vertical (positive: to the left)
    float pitch = 0.0f;                // radians to pitch the eye (positive: up); the world keeps it within limits
    glm::vec3 aim{0.0f, 0.0f, -1.0f};  // unit direction of the aim in the eye's own frame (-z ahead)

    bool held(PlayerKey key) const { return (keys >> key) & 1u; }
    void hold(PlayerKey key, bool down = true) {
        keys = static_cast<uint8_t>(down ? keys | (1u << key) : keys & ~(1u << key));
    }

    bool operator==(const TickInput& other) const {
        return keys == other.keys && fire == other.fire && dash == other.dash && turn == other.turn &&
               pitch == other.pitch && aim == other.aim;
    }
};
