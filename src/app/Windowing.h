#pragma once

#include "app/WindowFit.h"

struct Settings;

#include <string>

struct GLFWmonitor;
struct GLFWwindow;

// What the game needs from the machine, said in one line whenever it cannot have it.
extern const char* const kRequirements;

// Starts GLFW with errorCallback already installed, so a failure prints GLFW's own reason (no X
// display, for example), followed by kRequirements. Returns whether GLFW is up.
bool startGlfw();

// Opens the game's window from the settings (size, title, refresh rate, full screen); a window larger
// than the monitor's work area opens fitted to it, said once, and `opened` is the size asked for. The
// window itself is not multisampled: the scene is, in its own target, as the graphics level asks.
// Its context is made current as openGlWindow does, with vertical sync as the settings ask, and
// `drawable` is the size of its drawable area. When that fails, GLFW's reason has been printed by
// then; this adds kRequirements, terminates GLFW and returns null.
GLFWwindow* openWindow(const Settings& settings, WindowSize& opened, WindowSize& drawable);

// What openGlWindow opens: the game's window, or a hidden one for a tool.
struct GlWindowRequest {
    WindowSize size;
    std::string title;
    GLFWmonitor* monitor = nullptr;  // full screen on this monitor; null for a window
    bool visible = true;
    int refreshRate = -1;             // GLFW_DONT_CARE
    int swapInterval = 0;             // 0: no vertical sync
    bool spreadRasterThreads = true;  // a software renderer's threads each on a processor (RasterThreads.h)
};

// After startGlfw: the one GL start-up of the game and the tools. Opens the window, makes its context
// current with the swap interval, loads the GL entry points (a GLEW failure is written to standard
// output and start-up goes on), drops the errors GLEW's probing leaves and sets the viewport to the
// drawable size, returned in `drawable` (the requested size while the window has none, minimised).
// When the window cannot be opened it says so with kRequirements, terminates GLFW and returns null.
GLFWwindow* openGlWindow(const GlWindowRequest& request, WindowSize& drawable);
// Destroys the window and terminates GLFW.
void closeGlWindow(GLFWwindow* window);
