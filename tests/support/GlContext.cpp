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
GLFWwindow* window = nullptr;
std::string failure;

std::string lastGlfwError;

void shutdown() {
    if (window) glfwDestroyWindow(window);
    glfwTerminate();
}

void rememberGlfwError(int code, const char* description) {
    lastGlfwError = std::to_string(code) + ": " + (description ? description : "");
}

// The X server of a parallel test run now and then refuses a connection for a moment; a few short
// retries ride that out instead of failing the test.
bool initGlfwWithRetries() {
    constexpr int kAttempts = 10;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (glfwInit()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return false;
}
}  // namespace

bool ensureGlContext(std::string* error) {
    if (window) return true;
    if (!failure.empty()) {
        if (error) *error = failure;
        return false;
    }
    glfwSetErrorCallback(rememberGlfwError);
    if (!initGlfwWithRetries()) {
        failure =
            "glfwInit failed (is DISPLAY set? run the suite through scripts/test.sh or xvfb-run): " + lastGlfwError;
    } else {
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        window = glfwCreateWindow(320, 240, "quillmarsh tests", nullptr, nullptr);
        if (!window) {
            failure = "glfwCreateWindow failed: no OpenGL context available";
        } else {
            glfwMakeContextCurrent(window);
            glewExperimental = GL_TRUE;
            GLenum result = glewInit();
            if (result != GLEW_OK) {
                failure = std::string("glewInit failed: ") + reinterpret_cast<const char*>(glewGetErrorString(result));
            }
            while (glGetError() != GL_NO_ERROR) {}
            std::atexit(shutdown);
        }
    }
    if (!failure.empty()) {
        if (error) *error = failure;
        return false;
    }
    return true;
}

void GlTest::SetUp() {
    std::string error;
    if (ensureGlContext(&error)) return;
    // Fixtures go on to make GL calls after this; without a context they would crash, so the test
    // process stops here with the reason.
    std::fprintf(stderr, "No OpenGL context for the GL tests: %s\n", error.c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

}  // namespace testsupport
