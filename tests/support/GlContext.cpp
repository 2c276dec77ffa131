#include "support/GlContext.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace testsupport {

namespace {

void fail(const std::string& reason) {
    std::fprintf(stderr, "No OpenGL context for the GL tests: %s\n", reason.c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

}  // namespace

GLFWwindow* glWindow() {
    static GLFWwindow* window = nullptr;
    if (window) return window;
    // The X server of a parallel test run now and then refuses a connection for a moment.
    bool ready = false;
    for (int attempt = 0; attempt < 10 && !ready; ++attempt) {
        ready = glfwInit();
        if (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    if (!ready) fail("glfwInit failed (is DISPLAY set? run the suite under xvfb-run)");
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window = glfwCreateWindow(320, 240, "quillmarsh tests", nullptr, nullptr);
    if (!window) fail("glfwCreateWindow failed");
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) fail("glewInit failed");
    while (glGetError() != GL_NO_ERROR) {}
    std::atexit([] {
        glfwDestroyWindow(window);
        glfwTerminate();
    });
    return window;
}

}  // namespace testsupport
