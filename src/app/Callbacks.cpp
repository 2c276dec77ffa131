#include "app/Callbacks.h"

#include "app/Settings.h"
#include "game/Game.h"

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

}  // namespace

void errorCallback(int error, const char* description) {
    std::cerr << "GLFW error " << error << ": " << (description ? description : "") << std::endl;
}

void keyCallback(GLFWwindow* window, int key, int scancode, int action, int mods) {
    if (action != GLFW_PRESS) return;
    if (key == GLFW_KEY_ESCAPE) {
        glfwSetWindowShouldClose(window, GLFW_TRUE);
        return;
    }
    CallbackTarget* target = targetOf(window);
    if (!target) return;
    Game& game = *target->game;
    Switches& switches = game.switches();
    switch (key) {
        case GLFW_KEY_F1:
            switches.wireframe = !switches.wireframe;
            glPolygonMode(GL_FRONT_AND_BACK, switches.wireframe ? GL_LINE : GL_FILL);
            break;
        case GLFW_KEY_F3: switches.showHudText = !switches.showHudText; break;
        case GLFW_KEY_F4: switches.showDiagnostics = !switches.showDiagnostics; break;
        case GLFW_KEY_F8: switches.cullingEnabled = !switches.cullingEnabled; break;
        case GLFW_KEY_R: game.newWorld(); break;
        case GLFW_KEY_V: game.recentreLook(); break;
        case GLFW_KEY_Q: game.toggleLamp(); break;
        case GLFW_KEY_G:
            if (target->settings) nextQuality(game, *target->settings);
            break;
        case GLFW_KEY_P: game.pause().toggle(); break;
        default: break;
    }
}

void mouseButtonCallback(GLFWwindow* window, int button, int action, int mods) {
    CallbackTarget* target = targetOf(window);
    if (action != GLFW_PRESS || !target) return;
    if (button == GLFW_MOUSE_BUTTON_LEFT)
        target->game->fire();
    else if (button == GLFW_MOUSE_BUTTON_RIGHT)
        target->game->dash();
}

void framebufferSizeCallback(GLFWwindow* window, int width, int height) {
    if (CallbackTarget* target = targetOf(window)) target->game->resize(width, height);
}
