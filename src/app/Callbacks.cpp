#include "app/Callbacks.h"

#include "app/Globals.h"
#include "app/Settings.h"
#include "entities/Player.h"
#include "game/Game.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <btBulletDynamicsCommon.h>

#include <iostream>

void errorCallback(int error, const char* description) {
    std::cerr << "GLFW error " << error << ": " << (description ? description : "") << std::endl;
}

void keyCallback(GLFWwindow* window, int key, int scancode, int action, int mods) {
    if (action != GLFW_PRESS) return;
    switch (key) {
        case GLFW_KEY_ESCAPE: glfwSetWindowShouldClose(window, GLFW_TRUE); break;
        case GLFW_KEY_F1:
            wireframe = !wireframe;
            glPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL);
            break;
        case GLFW_KEY_F3: showHudText = !showHudText; break;
        case GLFW_KEY_F4: showDiagnostics = !showDiagnostics; break;
        case GLFW_KEY_F8: cullingEnabled = !cullingEnabled; break;
        case GLFW_KEY_R:
            if (gameInstance) gameInstance->reset();
            break;
        case GLFW_KEY_V:
            if (gameInstance) gameInstance->lookOffset = glm::vec2(0.0f);
            break;
        case GLFW_KEY_Q:
            if (gameInstance) gameInstance->lampFrozen = !gameInstance->lampFrozen;
            break;
        case GLFW_KEY_G:
            if (gameInstance) {
                const QualityLevel level = GraphicsQuality::next(gameInstance->graphicsQuality().level);
                gameInstance->setQuality(graphicsQuality(level, settings));
                std::cout << "Graphics quality: " << qualityName(level) << std::endl;
            }
            break;
        case GLFW_KEY_P:
            if (gameInstance) gameInstance->pause.toggle();
            break;
        default: break;
    }
}

void mouseButtonCallback(GLFWwindow* window, int button, int action, int mods) {
    if (action != GLFW_PRESS || !gameInstance || gameInstance->pause.paused()) return;
    if (button == GLFW_MOUSE_BUTTON_LEFT)
        gameInstance->firePlayerShot();
    else if (button == GLFW_MOUSE_BUTTON_RIGHT)
        dashToCrosshair(*gameInstance);
}

void framebufferSizeCallback(GLFWwindow* window, int width, int height) {
    if (gameInstance) gameInstance->resize(width, height);
}

void dashToCrosshair(Game& game) { game.player->moveTo(game.aimPoint, game.dynamicsWorld); }
