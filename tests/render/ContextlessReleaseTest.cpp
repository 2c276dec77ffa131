#include "render/GlContextState.h"
#include "render/ShaderProgram.h"
#include "render/VertexArray.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Shader programs and vertex arrays may outlive the window (process-wide instances go at exit).
// Run in a fresh process without any GL set-up: had a destructor reached GL, the unloaded entry
// points would crash it instead of letting it exit cleanly.
void releaseAfterTermination() {
    glfwSetErrorCallback([](int code, const char* text) { std::fprintf(stderr, "GLFW error %d: %s\n", code, text); });
    glfwTerminate();
    if (hasCurrentGlContext()) std::exit(2);
    {
        ShaderProgram program;
        program.programId = 3;
        program.linked = true;
        VertexArray vertices(4, {5, 6});
    }
    std::exit(0);
}

TEST(ContextlessReleaseDeathTest, SkipsGlCallsAndStaysQuietWithoutAContext) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(releaseAfterTermination(), ::testing::ExitedWithCode(0), "^$");
}

}  // namespace
