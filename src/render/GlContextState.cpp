#include "render/GlContextState.h"

#include <GLFW/glfw3.h>

bool hasCurrentGlContext() {
    // After glfwTerminate the query reports "not initialized" through the error callback; that is
    // expected at exit, so keep it away from the application's error printer.
    GLFWerrorfun previous = glfwSetErrorCallback(nullptr);
    GLFWwindow* current = glfwGetCurrentContext();
    glfwGetError(nullptr);
    glfwSetErrorCallback(previous);
    return current != nullptr;
}
