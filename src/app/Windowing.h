#pragma once

#include "app/WindowFit.h"

struct GLFWwindow;

// What the game needs from the machine, said in one line whenever it cannot have it.
extern const char* const kRequirements;

// Starts GLFW with errorCallback already installed, so a failure prints GLFW's own reason (no X
// display, for example), followed by kRequirements. Returns whether GLFW is up.
bool startGlfw();

// Opens the game's window from the settings (size, title, refresh rate, full screen); a window larger
// than the monitor's work area opens fitted to it, said once, and `opened` is the size asked for. The
// window itself is not multisampled: the scene is, in its own target, as the graphics level asks.
// When that fails, GLFW's reason has been printed by then; this adds kRequirements, terminates GLFW
// and returns null.
GLFWwindow* openWindow(WindowSize& opened);
