#pragma once

#include <memory>
#include <string>
#include <vector>

class Game;
class Rabbit;

// The scripted round of the sound check, meant to make every sound happen once or more through the
// game's own rules: the cat is put beside a rabbit and shoots it down while the rabbits around shoot
// back, then it jumps, dashes, is put on a diamond and into a fountain, the time runs out, R makes a
// new world, and the health runs out.
class RoundScript {
public:
    // Acts on the game before frame `frame` and sets the six keys; returns what it did, or "".
    std::string before(int frame, Game& game, std::vector<int>& keys);
    bool finished(int frame) const { return frame >= kEnd; }

    static constexpr int kEnd = 92;

private:
    std::string hunt(int frame, Game& game);

    std::shared_ptr<Rabbit> target;
    bool targetFell = false;
};
