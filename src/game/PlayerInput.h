#pragma once

#include "game/LookSettings.h"
#include "world/TickInput.h"

#include <glm/glm.hpp>

#include <vector>

// The player's input between two ticks, gathered frame by frame: the keys held in any frame since the
// last tick, the mouse's turns and pitches, and the presses of fire and dash, each taken by the next
// tick once. The free look (the crosshair's offset from the window's centre, in pixels) lives here
// too: it is the player's, not the world's, and a tick takes it as a direction.
class PlayerInput {
public:
    // Radians per pixel of mouse motion at sensitivity 1: turning the cat (shift held) and pitching
    // the eye in crosshair mode; both turning and pitching in turn mode.
    static constexpr float kTurnPerPixel = 0.005f;
    static constexpr float kPitchPerPixel = 0.001f;
    static constexpr float kTurnModePerPixel = 0.003f;

    // One frame's cursor offset from the window's centre (absolute, the cursor is never recentred) and
    // held keys (PlayerKey indices). While `looking` the motion since the last frame turns or pitches
    // and moves the crosshair within `limit`; otherwise (paused) the cursor is free and looking starts
    // again from wherever it is. The first frame and those after settle() take the cursor as a rest
    // position, not a move.
    void frame(const glm::vec2& cursor, const std::vector<int>& keys, bool looking, const glm::vec2& limit);
    // The next `frames` frames take the cursor where it rests (after a resize moved the centre).
    void settle(int frames) { settleFrames = frames; }
    void fire() { ++fires; }
    void dash() { dashes = true; }
    // V: the crosshair back to the centre.
    void recentre() { look = glm::vec2(0.0f); }
    // How the mouse looks from the next frame on; turn mode puts the crosshair in the middle.
    void setLook(const LookSettings& settings);
    const LookSettings& lookSettings() const { return settings; }
    // The crosshair within a new window's half size.
    void limitLook(const glm::vec2& limit);

    // The next tick's input, aiming along `aim` (in the eye's frame); what it takes is taken once.
    TickInput take(const glm::vec3& aim);

    const glm::vec2& lookOffset() const { return look; }

private:
    LookSettings settings;
    glm::vec2 look{0.0f};
    glm::vec2 lastCursor{0.0f};
    int settleFrames = 1;
    bool wasLooking = false;
    uint8_t heldSince = 0;  // keys held in any frame since the last tick
    uint8_t heldNow = 0;    // keys held in the latest frame
    float turn = 0.0f;
    float pitch = 0.0f;
    int fires = 0;
    bool dashes = false;
};
