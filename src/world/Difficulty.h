#pragma once

#include <optional>
#include <string>

// How hard a world's rabbits are. Normal is the game's own placement and numbers.
enum class Difficulty { Easy, Normal, Hard };

// What a difficulty changes.
struct DifficultyRules {
    float fireRate = 1.0f;    // how many times as often as usual the rabbits fire
    float sightScale = 1.0f;  // their sight range, as a multiple of the usual
    // The group that starts at the cat is put this far ahead of it instead (0: at the cat).
    float openingGroupAhead = 0.0f;
};

DifficultyRules difficultyRules(Difficulty difficulty);
// "easy", "normal" or "hard".
const char* difficultyName(Difficulty difficulty);
// The difficulty named `word` (any letter case), or nothing.
std::optional<Difficulty> parseDifficulty(const std::string& word);
