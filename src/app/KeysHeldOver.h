#pragma once

#include <vector>

// Keys held down while a menu is open count for the game only once they are let go and pressed again:
// the space that chose Play does not also jump in the round's first tick.
class KeysHeldOver {
public:
    // `keys` (1 held, 0 not) as the game is to see them this frame; `menuOpen`: a menu takes them.
    void filter(std::vector<int>& keys, bool menuOpen);

private:
    std::vector<bool> heldOver;
};
