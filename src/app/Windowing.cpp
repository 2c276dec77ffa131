#include "app/Windowing.h"

#include "app/Callbacks.h"
#include "app/RasterThreads.h"
#include "menu/Settings.h"

#include "render/GlErrors.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <iostream>

const char* const kRequirements = "Quillmarsh needs a display and an OpenGL 4.3 driver.";

namespace {

// The requested size, fitted to the primary monitor's work area when it is larger (said once).
WindowSize windowedSize(const Settings& settings) {
    const WindowSize requested{settings.width, settings.height};
    WindowSize area;
    if (GLFWmonitor* primary = glfwGetPrimaryMonitor()) {
        int x = 0, y = 0;
        glfwGetMonitorWorkarea(primary, &x, &y, &area.width, &area.height);
    }
    const WindowSize fitted = fitToWorkArea(requested, area);
    if (fitted.width != requested.width || fitted.height != requested.height) {
        std::cout << "The requested " << requested.width << " x " << requested.height << " window is larger than the "
                  << area.width << " x " << area.height << " work area of the screen; opening it at " << fitted.width
                  << " x " << fitted.height << "." << std::endl;
    }
    return fitted;
}

}  // namespace

bool startGlfw() {
    glfwSetErrorCallback(errorCallback);
    if (glfwInit()) return true;
    std::cerr << kRequirements << std::endl;
    return false;
}

GLFWwindow* openGlWindow(const GlWindowRequest& request, WindowSize& drawable) {
    glfwWindowHint(GLFW_REFRESH_RATE, request.refreshRate);
    glfwWindowHint(GLFW_VISIBLE, request.visible ? GLFW_TRUE : GLFW_FALSE);
    GLFWwindow* window =
        glfwCreateWindow(request.size.width, request.size.height, request.title.c_str(), request.monitor, nullptr);
    if (!window) {
        std::cerr << "Could not open a " << request.size.width << " x " << request.size.height << " window. "
                  << kRequirements << std::endl;
        glfwTerminate();
        return nullptr;
    }
    glfwMakeContextCurrent(window);
    glfwSwapInterval(request.swapInterval);
    // The context has started the renderer's threads by now.
    if (request.spreadRasterThreads) spreadRasterThreads();

    glfwGetFramebufferSize(window, &drawable.width, &drawable.height);
    if (drawable.width <= 0 || drawable.height <= 0) drawable = request.size;  // opened minimised
    glViewport(0, 0, drawable.width, drawable.height);

    glewExperimental = GL_TRUE;
    const GLenum glewResult = glewInit();
    if (glewResult != GLEW_OK) std::cout << glewGetErrorString(glewResult);
    discardGlErrors();
    return window;
}

void closeGlWindow(GLFWwindow* window) {
    glfwDestroyWindow(window);
    glfwTerminate();
}

GLFWwindow* openWindow(const Settings& settings, WindowSize& opened, WindowSize& drawable) {
    GlWindowRequest request;
    request.refreshRate = settings.refreshRate;
    request.monitor = settings.fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    request.size = request.monitor ? WindowSize{settings.width, settings.height} : windowedSize(settings);
    request.title = settings.title;
    request.swapInterval = settings.vsync ? 1 : 0;
    request.spreadRasterThreads = settings.spreadRasterThreads;
    opened = request.size;
    return openGlWindow(request, drawable);
}
