#pragma once

#include "app/WindowFit.h"

struct GLFWwindow;

// F11 and the options' full screen: the window goes full screen on the monitor it is on, at that
// monitor's own mode, and comes back to the place and size it had.
class FullScreen {
public:
    // `on`: the window was opened full screen.
    explicit FullScreen(bool on) : on(on) {}
    bool isOn() const { return on; }
    void set(GLFWwindow* window, bool fullScreen);

private:
    bool on;
    ScreenRect windowed{80, 80, 1280, 720};  // where the window goes back to
};
