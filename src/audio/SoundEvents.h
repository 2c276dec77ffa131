#pragma once

#include <glm/glm.hpp>

// What the game tells its sound about, at the places where it decides these things: the contact
// rules, the shots, the player's moves, the end of a round and a new world. Positions are world
// coordinates. Every operation does nothing here, so this base class is the silent game (and tests
// override only what they watch).
class SoundEvents {
public:
    virtual ~SoundEvents() = default;

    // A shot leaves `from`: the player's (`byPlayer`) or a rabbit's.
    virtual void onShot(bool byPlayer, const glm::vec3& from) {}
    // An enemy shot hits the player.
    virtual void onPlayerHit() {}
    // A player's shot hits a rabbit at `at`; `fell` when that hit was its last.
    virtual void onRabbitHit(const glm::vec3& at, bool fell) {}
    virtual void onDiamond(const glm::vec3& at) {}
    // A fountain at `at` heals the player.
    virtual void onHeal(const glm::vec3& at) {}
    virtual void onJump() {}
    virtual void onDash() {}
    // The round ends: the health is gone, or else the time is up.
    virtual void onRoundOver(bool healthGone) {}
    virtual void onNewWorld() {}

    // Once a frame, with the camera's world transform (it looks along its local -z, +y up): the
    // listener follows it.
    virtual void followCamera(const glm::mat4& cameraToWorld) {}
    // While paused nothing is heard and nothing new starts.
    virtual void setPaused(bool paused) {}
};
