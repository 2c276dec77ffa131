#include "render/ShaderProgram.h"

#include "render/GlContextState.h"
#include "render/ResourcePath.h"
#include "render/ShaderSource.h"
#include "render/TexturedShader.h"
#include "render/VertexArray.h"
#include "support/GlContext.h"
#include "support/TempDirectory.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

namespace {

using namespace testing::internal;  // capturing standard output and error

class ShaderProgramTest : public testsupport::GlTest {
protected:
    testsupport::TempDirectory folder;
};

TEST_F(ShaderProgramTest, SourcesAreReadLineByLineAndEveryCompileIsReported) {
    EXPECT_EQ(readFile(folder.writeText("a.txt", "a\nb")), "a\nb\n");
    EXPECT_EQ(withDefines("#version 430\nvoid main() {}\n", "#define A 1\n"),
              "#version 430\n#define A 1\nvoid main() {}\n");
    EXPECT_EQ(withDefines("void main() {}\n", "#define A 1\n"), "#define A 1\nvoid main() {}\n");
    CaptureStdout();
    const TexturedShader textured;
    EXPECT_EQ(GetCapturedStdout(), getCurrentWorkingDirectory() + "/shader/textured.vertex\n");
    const std::string good =
        folder.writeText("ok.vertex", "#version 430 core\nvoid main() { gl_Position = vec4(0.0); }");
    CaptureStdout();
    glDeleteShader(compileShader(good, GL_VERTEX_SHADER));
    EXPECT_EQ(GetCapturedStdout(), "Compiling shader: " + good + "\n\n");
}

// Process-wide programs and arrays go at exit, after the window: their destructors must not reach GL.
TEST(ContextlessReleaseDeathTest, SkipsGlCallsWithoutAContext) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            glfwTerminate();
            if (hasCurrentGlContext()) std::exit(2);
            {
                ShaderProgram program;
                program.programId = 3;
                program.linked = true;
                VertexArray vertices(4, {5, 6});
            }
            std::exit(0);
        },
        testing::ExitedWithCode(0), "^$");
}

}  // namespace
