#include "world/CameraBoom.h"

#include <algorithm>
#include <cmath>

void CameraBoom::follow(float clear, float dt) {
    if (!(clear < current) && !(clear > current)) return;
    if (clear < current || dt <= 0.0f) {
        // Never a tick behind the rock: the eye would look at its inside.
        current = clear;
        return;
    }
    const float gap = clear - current;
    const float eased = gap * (1.0f - std::exp(-kEaseOutRate * dt));
    current = std::min(clear, current + std::max(eased, kMinEaseOutSpeed * dt));
}
