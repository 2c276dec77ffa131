#include "app/Windowing.h"

#include "app/Callbacks.h"
#include "app/Settings.h"

#include <GLFW/glfw3.h>

#include <iostream>

const char* const kRequirements = "Quillmarsh needs a display and an OpenGL 4.3 driver.";

bool startGlfw() {
    glfwSetErrorCallback(errorCallback);
    if (glfwInit()) return true;
    std::cerr << kRequirements << std::endl;
    return false;
}

GLFWwindow* openWindow() {
    glfwWindowHint(GLFW_REFRESH_RATE, settings.refreshRate);
    glfwWindowHint(GLFW_SAMPLES, settings.samples);
    GLFWmonitor* monitor = settings.fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    GLFWwindow* window = glfwCreateWindow(settings.width, settings.height, settings.title.c_str(), monitor, nullptr);
    if (window) return window;
    std::cerr << "Could not open a " << settings.width << " x " << settings.height << " window. " << kRequirements
              << std::endl;
    glfwTerminate();
    return nullptr;
}
