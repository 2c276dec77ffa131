#include "world/Difficulty.h"

#include <algorithm>
#include <cctype>

namespace {

// The opening group is scattered over 40 x 40 units round its centre; this far ahead, its nearest
// corner is 21 units from where the cat starts, twice a rabbit's sight.
constexpr float kEasyOpeningAhead = 50.0f;

}  // namespace

DifficultyRules difficultyRules(Difficulty difficulty) {
    DifficultyRules rules;
    if (difficulty == Difficulty::Easy) {
        rules.fireRate = 0.5f;
        rules.openingGroupAhead = kEasyOpeningAhead;
    } else if (difficulty == Difficulty::Hard) {
        rules.fireRate = 1.5f;
        rules.sightScale = 4.0f / 3.0f;
    }
    return rules;
}

const char* difficultyName(Difficulty difficulty) {
    switch (difficulty) {
        case Difficulty::Easy: return "easy";
        case Difficulty::Hard: return "hard";
        case Difficulty::Normal: break;
    }
    return "normal";
}

std::optional<Difficulty> parseDifficulty(const std::string& word) {
    std::string lower = word;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (Difficulty d : {Difficulty::Easy, Difficulty::Normal, Difficulty::Hard}) {
        if (lower == difficultyName(d)) return d;
    }
    return std::nullopt;
}
