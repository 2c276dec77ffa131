#pragma once

#include <functional>

// Whether the round stands still. P and the pad's Start button toggle it; losing the window's focus
// pauses, and getting it back leaves the game paused until the player resumes it.
class PauseState {
public:
    bool paused() const { return isPaused; }
    void toggle() { set(!isPaused); }
    void set(bool pause);
    void focusChanged(bool focused);

    // Called with the new state whenever it changes (the sound follows it).
    std::function<void(bool paused)> onChange;

private:
    bool isPaused = false;
};
