#include "support/GlContext.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdlib>
#include <string>

namespace testsupport {

namespace {
GLFWwindow* window = nullptr;
std::string failure;

void shutdown() {
    if (window) glfwDestroyWindow(window);
    glfwTerminate();
}
}  // namespace

bool ensureGlContext(std::string* error) {
    if (window) return true;
    if (!failure.empty()) {
        if (error) *error = failure;
        return false;
    }
    if (!glfwInit()) {
        failure = "glfwInit failed (is DISPLAY set? run the suite through scripts/test.sh or xvfb-run)";
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
                failure = std::string("glewInit failed: ") +
                          reinterpret_cast<const char*>(glewGetErrorString(result));
            }
            while (glGetError() != GL_NO_ERROR) {
            }
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
    ASSERT_TRUE(ensureGlContext(&error)) << error;
}

}  // namespace testsupport
