#include "app/Windowing.h"

#include "app/Callbacks.h"
#include "app/Settings.h"

#include <GLFW/glfw3.h>

#include <iostream>

const char* const kRequirements = "Quillmarsh needs a display and an OpenGL 4.3 driver.";

namespace {

// The requested size, fitted to the primary monitor's work area when it is larger (said once).
WindowSize windowedSize() {
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

GLFWwindow* openWindow(WindowSize& opened) {
    glfwWindowHint(GLFW_REFRESH_RATE, settings.refreshRate);
    GLFWmonitor* monitor = settings.fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    opened = monitor ? WindowSize{settings.width, settings.height} : windowedSize();
    GLFWwindow* window = glfwCreateWindow(opened.width, opened.height, settings.title.c_str(), monitor, nullptr);
    if (window) return window;
    std::cerr << "Could not open a " << opened.width << " x " << opened.height << " window. " << kRequirements
              << std::endl;
    glfwTerminate();
    return nullptr;
}
