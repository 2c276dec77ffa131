#include "game/LookSettings.h"

#include <algorithm>
#include <cctype>

const char* mouseModeName(MouseMode mode) { return mode == MouseMode::Turn ? "turn" : "crosshair"; }

std::optional<MouseMode> parseMouseMode(const std::string& word) {
    std::string lower = word;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (MouseMode mode : {MouseMode::Crosshair, MouseMode::Turn}) {
        if (lower == mouseModeName(mode)) return mode;
    }
    return std::nullopt;
}
