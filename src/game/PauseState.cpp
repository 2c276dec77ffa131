#include "game/PauseState.h"

void PauseState::set(bool pause) {
    if (pause == isPaused) return;
    isPaused = pause;
    if (onChange) onChange(isPaused);
}

void PauseState::focusChanged(bool focused) {
    if (!focused) set(true);
}
