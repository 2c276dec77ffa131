#include "game/Random.h"

#include <cstdlib>

int randomDraw() {
    static_assert(RAND_MAX >= 32767, "rand() must deliver at least 15 bits");
    return static_cast<int>(static_cast<long long>(std::rand()) * 32768 / (static_cast<long long>(RAND_MAX) + 1));
}
