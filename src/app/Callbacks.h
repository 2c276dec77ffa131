#pragma once

#include <functional>

struct GLFWwindow;
struct Settings;
class Game;
class Menus;

// What the callbacks reach through the window's user pointer: the game, the settings in effect (the
// graphics levels are made from them, the bindings say what each key does) and, in the game itself,
// the menus and what the session does on F11, on Escape when it opens the menu, and with a key or
// button a menu waits for. Everything must outlive the window's events; the menus and the hooks may
// be left empty.
struct CallbackTarget {
    Game* game = nullptr;
    const Settings* settings = nullptr;
    Menus* menus = nullptr;
    std::function<void()> toggleFullScreen;
    std::function<void()> escapeToMenu;
    std::function<void(int input)> capture;
    // The window needs its picture drawn again (its size changed, it was uncovered): the session
    // draws the next frame even when nothing in it moved, and clears this.
    bool redraw = false;
};

// GLFW callbacks. They run inside glfwPollEvents, between two frames, and reach the game through the
// window's CallbackTarget (nothing happens while it is not set). The menus see every event; the game
// only those no menu takes.
// Prints "GLFW error <code>: <description>" on one line of standard error.
void errorCallback(int error, const char* description);
// Acts on presses only (releases and auto-repeats are ignored): Escape closes the window (or opens the
// menu, when the settings say so), F11 toggles full screen, F1 wireframe, F3 the HUD text, F4 the
// diagnostics rows, F8 culling; the keys bound to actions (by default R builds a new world, V
// recentres the free look, Q freezes the lamp, G switches to the next graphics level, P pauses or
// resumes) do what they are bound to.
void keyCallback(GLFWwindow* window, int key, int scancode, int action, int mods);
// Acts on presses only: the buttons bound to actions (by default the left fires at the aim point, the
// right dashes the player to the ground under the crosshair; neither while paused).
void mouseButtonCallback(GLFWwindow* window, int button, int action, int mods);
// Text, wheel, focus and pointer events, for the menus.
void charCallback(GLFWwindow* window, unsigned int codepoint);
void scrollCallback(GLFWwindow* window, double dx, double dy);
void focusCallback(GLFWwindow* window, int focused);
void cursorEnterCallback(GLFWwindow* window, int entered);
// The window's drawable area changed size (0 × 0 while minimised): the game follows it.
void framebufferSizeCallback(GLFWwindow* window, int width, int height);
// The window's contents were lost (uncovered, restored): the next frame is drawn.
void windowRefreshCallback(GLFWwindow* window);
