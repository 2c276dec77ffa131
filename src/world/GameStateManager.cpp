#include "world/GameStateManager.h"

#include <cmath>
#include <cstdio>

std::string GameStateManager::getTimeText() const {
    // Rounding up means the display reaches 00:00 only when the time is really gone. Wide arithmetic
    // keeps the + 999 from overflowing near the top of the int range.
    const int64_t milliseconds = timeLeft > 0 ? static_cast<int64_t>(timeLeft) : 0;
    const int64_t seconds = (milliseconds + 999) / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return text;
}

std::string GameStateManager::getHealthText() const {
    // The product is exact in double, so only the stored health decides which way a half goes.
    return "Health: " + std::to_string(std::llround(static_cast<double>(health) * 100.0)) + "%";
}

std::string GameStateManager::getScoreText() const { return "Score: " + std::to_string(score); }
