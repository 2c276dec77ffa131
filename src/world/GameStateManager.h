#pragma once

#include <cstdint>
#include <string>

// The round's score keeping: the countdown, the player's health and the points, with the texts the
// HUD rows show for them. The game rules and the frame update change the fields directly.
class GameStateManager {
public:
    // "MM:SS" of the remaining time rounded up to whole seconds; a negative time reads as 00:00.
    std::string getTimeText() const;
    // "Health: N%" with N = health × 100 rounded half away from zero.
    std::string getHealthText() const;
    // "Score: N".
    std::string getScoreText() const;

    int32_t timeLeft = 60000;  // milliseconds
    float health = 1.0f;       // 0 to 1
    int32_t score = 0;
};
