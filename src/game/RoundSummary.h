#pragma once

#include "scene/WorldEvent.h"

#include <string>
#include <vector>

class GameStateManager;

// What one round held, counted from the world's events as its ticks run: diamonds taken, rabbits
// downed, shots fired and hits, how it ended and how long the cat lasted. The round-end panel shows it.
class RoundSummary {
public:
    enum class End { Running, TimeUp, KnockedOut };

    // The events of one tick; none after the round's end count.
    void take(const WorldEvents& events);
    // The round lasted `seconds` (as the score book has it).
    void lasted(int seconds) { survived = seconds; }
    // A new round: everything back to nothing.
    void clear() { *this = RoundSummary(); }

    End end() const { return ended; }
    int diamonds() const { return diamondsTaken; }
    int rabbitsDowned() const { return downed; }
    int shotsFired() const { return fired; }
    int shotsHit() const { return hits; }
    int secondsSurvived() const { return survived; }

    // "Time's up" or "Knocked out".
    std::string reasonText() const;
    // "Diamonds 3 · Rabbits downed 1", "Shots 20 · Hits 8 (40%)", "Survived 00:45".
    std::vector<std::string> statTexts() const;

private:
    End ended = End::Running;
    int diamondsTaken = 0;
    int downed = 0;
    int fired = 0;
    int hits = 0;
    int survived = 0;
};
