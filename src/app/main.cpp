// Quillmarsh entry point: settings, window and context, the Game, and the frame loop.

#include "app/Callbacks.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "audio/GameAudio.h"
#include "game/Game.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <vector>

namespace {

// Cursor offset from the window centre; the cursor is disabled and never recentred, so this is an
// absolute offset of the virtual cursor, not a per-frame delta.
void cursorOffset(GLFWwindow* window, int width, int height, float& dx, float& dy) {
    double x = 0.0, y = 0.0;
    glfwGetCursorPos(window, &x, &y);
    dx = static_cast<float>(x - static_cast<double>(width / 2));
    dy = static_cast<float>(y - static_cast<double>(height / 2));
}

void sampleKeys(GLFWwindow* window, std::vector<int>& keys) {
    static const int kKeys[6] = {GLFW_KEY_W, GLFW_KEY_A, GLFW_KEY_S, GLFW_KEY_D, GLFW_KEY_SPACE, GLFW_KEY_LEFT_SHIFT};
    for (int i = 0; i < 6; ++i) keys[i] = glfwGetKey(window, kKeys[i]);
}

}  // namespace

int main() {
    loadSettings();
    if (!glfwInit()) std::exit(1);

    glfwWindowHint(GLFW_REFRESH_RATE, settings.refreshRate);
    glfwWindowHint(GLFW_SAMPLES, settings.samples);
    GLFWmonitor* monitor = settings.fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    GLFWwindow* window = glfwCreateWindow(settings.width, settings.height, settings.title.c_str(), monitor, nullptr);
    if (!window) {
        std::cerr << "Could not create a " << settings.width << " x " << settings.height
                  << " window with an OpenGL context (an OpenGL 4.3 driver is required)." << std::endl;
        glfwTerminate();
        return 1;
    }
    cullingEnabled = true;

    glfwSetErrorCallback(errorCallback);
    glfwSetKeyCallback(window, keyCallback);
    glfwSetMouseButtonCallback(window, mouseButtonCallback);
    glfwMakeContextCurrent(window);
    glfwSwapInterval(0);

    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    glViewport(0, 0, width, height);

    glewExperimental = GL_TRUE;
    const GLenum glewResult = glewInit();
    if (glewResult != GLEW_OK) std::cout << glewGetErrorString(glewResult);

    {
        // The game and every GL object it holds are released here, while the context is still current.
        auto game = std::make_unique<Game>(static_cast<float>(width) / static_cast<float>(height), width, height);
        gameInstance = game.get();
        game->setSounds(
            std::make_shared<GameAudio>(settings.audioEnabled, settings.audioVolume, settings.audioAmbience));
        game->init();
        glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);

        std::vector<int> keys(6, 0);
        while (!glfwWindowShouldClose(window)) {
            float dx = 0.0f, dy = 0.0f;
            cursorOffset(window, width, height, dx, dy);
            culledObjectCount = 0;
            sampleKeys(window, keys);
            game->update(dx, dy, keys);
            glfwSwapBuffers(window);
            glfwPollEvents();
            glGetError();
        }
        gameInstance = nullptr;
    }

    glfwDestroyWindow(window);
    glfwTerminate();
    return 0;
}
