#include "render/ShaderSource.h"

#include "support/GlContext.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

TEST(ReadFile, EndsEveryLineWithANewline) {
    testsupport::TempDirectory folder;
    EXPECT_EQ("a\nb\n", readFile(folder.writeText("no_final_newline.txt", "a\nb")));
    EXPECT_EQ("a\n\nb\n", readFile(folder.writeText("final_newline.txt", "a\n\nb\n")));
    EXPECT_EQ("", readFile(folder.writeText("empty.txt", "")));
}

TEST(ReadFile, MissingFileIsReportedAndGivesNothing) {
    CaptureStderr();
    EXPECT_EQ("", readFile("/nonexistent/shader.vertex"));
    EXPECT_EQ("Could not read file /nonexistent/shader.vertex. File does not exist.\n", GetCapturedStderr());
}

class ShaderSourceTest : public testsupport::GlTest {
protected:
    testsupport::TempDirectory folder;
};

TEST_F(ShaderSourceTest, CompilePrintsThePathAndTheLogEvenOnSuccess) {
    const std::string path =
        folder.writeText("ok.vertex", "#version 430 core\nvoid main() { gl_Position = vec4(0.0); }");
    CaptureStdout();
    GLuint shader = compileShader(path, GL_VERTEX_SHADER);
    const std::string out = GetCapturedStdout();

    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    EXPECT_EQ(GL_TRUE, status);
    EXPECT_EQ(GLenum(GL_VERTEX_SHADER), [&] {
        GLint t = 0;
        glGetShaderiv(shader, GL_SHADER_TYPE, &t);
        return GLenum(t);
    }());
    EXPECT_EQ("Compiling shader: " + path + "\n\n", out);
    glDeleteShader(shader);
}

TEST_F(ShaderSourceTest, FailedCompileStillGivesAShaderAndPrintsTheLog) {
    const std::string path = folder.writeText("broken.frag", "#version 430 core\nvoid main() { undeclared = 1; }\n");
    CaptureStdout();
    GLuint shader = compileShader(path, GL_FRAGMENT_SHADER);
    const std::string out = GetCapturedStdout();

    EXPECT_TRUE(glIsShader(shader));
    GLint status = GL_TRUE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    EXPECT_EQ(GL_FALSE, status);
    EXPECT_NE(std::string::npos, out.find("undeclared")) << out;
    glDeleteShader(shader);
}

TEST_F(ShaderSourceTest, LinkStatusReportsTheLinkLog) {
    const std::string vertex =
        folder.writeText("v.vertex", "#version 430 core\nvoid main() { gl_Position = vec4(0.0); }\n");
    const std::string fragmentWithoutMain = folder.writeText("f.frag", "#version 430 core\nout vec4 color;\n");
    CaptureStdout();
    GLuint good = glCreateProgram();
    GLuint bad = glCreateProgram();
    GLuint vs = compileShader(vertex, GL_VERTEX_SHADER);
    GLuint fs = compileShader(fragmentWithoutMain, GL_FRAGMENT_SHADER);
    GetCapturedStdout();
    glAttachShader(good, vs);
    glAttachShader(bad, fs);
    glLinkProgram(good);
    glLinkProgram(bad);

    CaptureStderr();
    EXPECT_TRUE(checkLinkStatus(good));
    EXPECT_EQ("", GetCapturedStderr());
    CaptureStderr();
    EXPECT_FALSE(checkLinkStatus(bad));
    const std::string err = GetCapturedStderr();
    EXPECT_EQ(0u, err.find("Linking Error with Program and Shader, ")) << err;
    EXPECT_GT(err.size(), std::string("Linking Error with Program and Shader, \n").size());
    EXPECT_EQ(std::string::npos, err.find('\0'));

    glDeleteShader(vs);
    glDeleteShader(fs);
    glDeleteProgram(good);
    glDeleteProgram(bad);
}

}  // namespace
