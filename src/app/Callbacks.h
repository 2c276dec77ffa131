#pragma once

struct GLFWwindow;
struct Settings;
class Game;

// What the callbacks reach through the window's user pointer: the game and the settings the graphics
// levels are made from. Both must outlive the window's events.
struct CallbackTarget {
    Game* game = nullptr;
    const Settings* settings = nullptr;
};

// GLFW callbacks. They run inside glfwPollEvents, between two frames, and reach the game through the
// window's CallbackTarget (nothing happens while it is not set).
// Prints "GLFW error <code>: <description>" on one line of standard error.
void errorCallback(int error, const char* description);
// Acts on presses only (releases and auto-repeats are ignored): Escape closes the window, F1 toggles
// wireframe, F3 the HUD text, F4 the diagnostics rows, F8 culling; R builds a new world, V recentres
// the free look, Q freezes the lamp, G switches to the next graphics level (low, medium, high) and P
// pauses or resumes.
void keyCallback(GLFWwindow* window, int key, int scancode, int action, int mods);
// Acts on presses only: the left button fires at the aim point, the right button dashes the player to
// the ground under the crosshair (neither while paused).
void mouseButtonCallback(GLFWwindow* window, int button, int action, int mods);
// The window's drawable area changed size (0 × 0 while minimised): the game follows it.
void framebufferSizeCallback(GLFWwindow* window, int width, int height);
