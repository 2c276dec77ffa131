// Quillmarsh entry point: settings, window and context, the Game, and the frame loop.

#include "app/Callbacks.h"
#include "app/CursorOffset.h"
#include "app/FrameLimiter.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "app/Windowing.h"
#include "audio/GameAudio.h"
#include "game/Game.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

// Cursor offset from the window centre in framebuffer pixels; the cursor is disabled and never
// recentred, so this is an absolute offset of the virtual cursor, not a per-frame delta.
glm::vec2 sampleCursor(GLFWwindow* window) {
    double x = 0.0, y = 0.0;
    int windowWidth = 0, windowHeight = 0, framebufferWidth = 0, framebufferHeight = 0;
    glfwGetCursorPos(window, &x, &y);
    glfwGetWindowSize(window, &windowWidth, &windowHeight);
    glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
    return cursorOffset(x, y, windowWidth, windowHeight, framebufferWidth, framebufferHeight);
}

// The level of the settings, or the one `auto` picks for this renderer; said once.
GraphicsQuality chooseQuality() {
    const GLubyte* name = glGetString(GL_RENDERER);
    const std::string renderer = name ? reinterpret_cast<const char*>(name) : "";
    const QualityLevel level = chosenQualityLevel(settings, renderer);
    std::cout << "Graphics quality: " << qualityName(level);
    if (!settings.quality) {
        std::cout << " (auto: " << (isSoftwareRenderer(renderer) ? "software" : "hardware") << " renderer '" << renderer
                  << "')";
    }
    std::cout << std::endl;
    return graphicsQuality(level, settings);
}

void sampleKeys(GLFWwindow* window, std::vector<int>& keys) {
    static const int kKeys[6] = {GLFW_KEY_W, GLFW_KEY_A, GLFW_KEY_S, GLFW_KEY_D, GLFW_KEY_SPACE, GLFW_KEY_LEFT_SHIFT};
    for (int i = 0; i < 6; ++i) keys[i] = glfwGetKey(window, kKeys[i]);
}

}  // namespace

int main() {
    loadSettings();
    if (!startGlfw()) std::exit(1);
    WindowSize size;
    GLFWwindow* window = openWindow(size);
    if (!window) return 1;
    cullingEnabled = true;

    glfwSetKeyCallback(window, keyCallback);
    glfwSetMouseButtonCallback(window, mouseButtonCallback);
    glfwSetFramebufferSizeCallback(window, framebufferSizeCallback);
    glfwMakeContextCurrent(window);
    glfwSwapInterval(settings.vsync ? 1 : 0);

    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    if (width <= 0 || height <= 0) {
        // Opened minimised: the requested size until the window is shown.
        width = size.width;
        height = size.height;
    }
    glViewport(0, 0, width, height);

    glewExperimental = GL_TRUE;
    const GLenum glewResult = glewInit();
    if (glewResult != GLEW_OK) std::cout << glewGetErrorString(glewResult);

    {
        // The game and every GL object it holds are released here, while the context is still current.
        auto game = std::make_unique<Game>(static_cast<float>(width) / static_cast<float>(height), width, height,
                                           systemClockMs, std::function<unsigned int()>(), chooseQuality());
        gameInstance = game.get();
        game->setSounds(
            std::make_shared<GameAudio>(settings.audioEnabled, settings.audioVolume, settings.audioAmbience));
        game->init();
        glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);

        std::vector<int> keys(6, 0);
        FrameLimiter limiter(settings.fpsLimit);
        while (!glfwWindowShouldClose(window)) {
            const glm::vec2 offset = sampleCursor(window);
            culledObjectCount = 0;
            sampleKeys(window, keys);
            game->update(offset.x, offset.y, keys);
            glfwSwapBuffers(window);
            glfwPollEvents();
            glGetError();
            limiter.endFrame();
        }
        gameInstance = nullptr;
    }

    glfwDestroyWindow(window);
    glfwTerminate();
    return 0;
}
