#include "app/Callbacks.h"

#include "game/Game.h"
#include "menu/Menus.h"
#include "menu/Settings.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <iostream>

namespace {

CallbackTarget* targetOf(GLFWwindow* window) {
    auto* target = static_cast<CallbackTarget*>(glfwGetWindowUserPointer(window));
    return target && target->game ? target : nullptr;
}

void nextQuality(Game& game, const Settings& settings) {
    const QualityLevel level = GraphicsQuality::next(game.graphicsQuality().level);
    game.setQuality(graphicsQuality(level, settings));
    std::cout << "Graphics quality: " << qualityName(level) << std::endl;
}

// What an input bound to `action` does when pressed in play.
void act(Action action, CallbackTarget& target) {
    Game& game = *target.game;
    switch (action) {
        case Action::Fire: game.fire(); break;
        case Action::Dash: game.dash(); break;
        case Action::NewWorld: game.newWorld(); break;
        case Action::Recentre: game.recentreLook(); break;
        case Action::Lamp: game.toggleLamp(); break;
        case Action::Quality:
            if (target.settings) nextQuality(game, *target.settings);
            break;
        case Action::Pause: game.pause().toggle(); break;
        default: break;  // held, not pressed: sampled every frame
    }
}

// A press of `input` (a key, or Bindings::kMouse + a button): to the menu waiting for one, to the
// pause menu (the pause key resumes), or to the game.
void pressed(CallbackTarget& target, int input) {
    Menus* menus = target.menus;
    if (menus && menus->capturing()) {
        if (target.capture) target.capture(input);
        return;
    }
    if (!target.settings) return;
    const std::optional<Action> action = target.settings->bindings.action(input);
    if (menus && menus->open()) {
        if (action == Action::Pause && menus->screen() == Menus::Screen::Pause) target.game->pause().toggle();
        return;
    }
    if (action) act(*action, target);
}

}  // namespace

void errorCallback(int error, const char* description) {
    std::cerr << "GLFW error " << error << ": " << (description ? description : "") << std::endl;
}

void keyCallback(GLFWwindow* window, int key, int scancode, int action, int mods) {
    CallbackTarget* target = targetOf(window);
    if (target && target->menus) target->menus->key(key, scancode, action, mods);
    if (action != GLFW_PRESS) return;
    if (key == GLFW_KEY_ESCAPE) {
        if (target && target->menus && target->menus->capturing()) {
            target->menus->stopCapture();  // Escape is never bound: it gives up the wait
            return;
        }
        if (target && target->settings && target->settings->escapeOpensMenu && target->escapeToMenu)
            target->escapeToMenu();
        else
            glfwSetWindowShouldClose(window, GLFW_TRUE);
        return;
    }
    if (!target) return;
    if (key == GLFW_KEY_F11) {
        if (target->toggleFullScreen) target->toggleFullScreen();
        return;
    }
    if (target->menus && target->menus->capturing()) {
        if (target->capture) target->capture(key);
        return;
    }
    Switches& switches = target->game->switches();
    const bool inMenu = target->menus && target->menus->open();
    switch (key) {
        case GLFW_KEY_F1:
            if (inMenu) return;
            switches.wireframe = !switches.wireframe;
            glPolygonMode(GL_FRONT_AND_BACK, switches.wireframe ? GL_LINE : GL_FILL);
            return;
        case GLFW_KEY_F3:
            if (!inMenu) switches.showHudText = !switches.showHudText;
            return;
        case GLFW_KEY_F4:
            if (!inMenu) switches.showDiagnostics = !switches.showDiagnostics;
            return;
        case GLFW_KEY_F8:
            if (!inMenu) switches.cullingEnabled = !switches.cullingEnabled;
            return;
        default: break;
    }
    pressed(*target, key);
}

void mouseButtonCallback(GLFWwindow* window, int button, int action, int mods) {
    CallbackTarget* target = targetOf(window);
    if (target && target->menus) target->menus->mouseButton(button, action, mods);
    if (action != GLFW_PRESS || !target) return;
    pressed(*target, Bindings::kMouse + button);
}

void charCallback(GLFWwindow* window, unsigned int codepoint) {
    if (CallbackTarget* target = targetOf(window); target && target->menus) target->menus->character(codepoint);
}

void scrollCallback(GLFWwindow* window, double dx, double dy) {
    if (CallbackTarget* target = targetOf(window); target && target->menus) target->menus->scroll(dx, dy);
}

void focusCallback(GLFWwindow* window, int focused) {
    CallbackTarget* target = targetOf(window);
    if (!target) return;
    target->redraw = true;
    if (target->menus) target->menus->focus(focused != 0);
}

void cursorEnterCallback(GLFWwindow* window, int entered) {
    if (CallbackTarget* target = targetOf(window); target && target->menus) target->menus->cursorEnter(entered != 0);
}

void framebufferSizeCallback(GLFWwindow* window, int width, int height) {
    if (CallbackTarget* target = targetOf(window)) {
        target->game->resize(width, height);
        target->redraw = true;
    }
}

void windowRefreshCallback(GLFWwindow* window) {
    if (CallbackTarget* target = targetOf(window)) target->redraw = true;
}
