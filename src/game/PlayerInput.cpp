#include "game/PlayerInput.h"

#include <algorithm>

void PlayerInput::frame(const glm::vec2& cursor, const std::vector<int>& keys, bool looking, const glm::vec2& limit) {
    heldNow = 0;
    for (int key = 0; key < kPlayerKeyCount && key < static_cast<int>(keys.size()); ++key) {
        if (keys[key]) heldNow = static_cast<uint8_t>(heldNow | (1u << key));
    }
    heldSince = static_cast<uint8_t>(heldSince | heldNow);

    // The cursor is free while paused; looking starts again from wherever it is on resuming.
    if (!looking || !wasLooking || settleFrames > 0) {
        if (settleFrames > 0 && looking) --settleFrames;
        lastCursor = cursor;
        wasLooking = looking;
        return;
    }
    glm::vec2 moved = (cursor - lastCursor) * settings.sensitivity;
    lastCursor = cursor;
    if (settings.invertY) moved.y = -moved.y;
    if (settings.mode == MouseMode::Turn) {
        turn -= moved.x * kTurnModePerPixel;
        pitch -= moved.y * kTurnModePerPixel;
        look = glm::vec2(0.0f);
        return;
    }
    if (heldNow & (1u << kKeyLeftShift)) {
        turn -= moved.x * kTurnPerPixel;
        look = glm::vec2(0.0f);
    } else {
        look.x = std::clamp(look.x + moved.x, -limit.x, limit.x);
        look.y = std::clamp(look.y - moved.y, -limit.y, limit.y);
    }
    pitch -= moved.y * kPitchPerPixel;
}

void PlayerInput::setLook(const LookSettings& chosen) {
    settings = chosen;
    if (settings.mode == MouseMode::Turn) look = glm::vec2(0.0f);
}

void PlayerInput::limitLook(const glm::vec2& limit) { look = glm::clamp(look, -limit, limit); }

TickInput PlayerInput::take(const glm::vec3& aim) {
    TickInput tick;
    tick.keys = heldSince;
    tick.turn = turn;
    tick.pitch = pitch;
    tick.aim = aim;
    tick.fire = fires > 0;
    tick.dash = dashes;
    // A key let go since is still seen by this tick; the next one sees what is held now.
    heldSince = heldNow;
    turn = 0.0f;
    pitch = 0.0f;
    if (fires > 0) --fires;
    dashes = false;
    return tick;
}
