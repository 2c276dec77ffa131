#include "app/FullScreen.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <vector>

void FullScreen::set(GLFWwindow* window, bool fullScreen) {
    if (fullScreen == on || !window) return;
    if (!fullScreen) {
        glfwSetWindowMonitor(window, nullptr, windowed.x, windowed.y, windowed.width, windowed.height, GLFW_DONT_CARE);
        on = false;
        return;
    }
    int count = 0;
    GLFWmonitor** monitors = glfwGetMonitors(&count);
    std::vector<ScreenRect> areas;
    for (int i = 0; i < count; ++i) {
        ScreenRect area;
        glfwGetMonitorPos(monitors[i], &area.x, &area.y);
        if (const GLFWvidmode* mode = glfwGetVideoMode(monitors[i])) {
            area.width = mode->width;
            area.height = mode->height;
        }
        areas.push_back(area);
    }
    glfwGetWindowPos(window, &windowed.x, &windowed.y);
    glfwGetWindowSize(window, &windowed.width, &windowed.height);
    const int under = monitorUnder(windowed, areas);
    if (under < 0) return;  // no monitor to fill
    const GLFWvidmode* mode = glfwGetVideoMode(monitors[under]);
    if (!mode) return;
    glfwSetWindowMonitor(window, monitors[under], 0, 0, mode->width, mode->height, mode->refreshRate);
    on = true;
}
