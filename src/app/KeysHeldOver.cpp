#include "app/KeysHeldOver.h"

void KeysHeldOver::filter(std::vector<int>& keys, bool menuOpen) {
    heldOver.resize(keys.size(), false);
    for (std::size_t key = 0; key < keys.size(); ++key) {
        if (!keys[key])
            heldOver[key] = false;
        else if (menuOpen)
            heldOver[key] = true;
        if (heldOver[key]) keys[key] = 0;
    }
}
