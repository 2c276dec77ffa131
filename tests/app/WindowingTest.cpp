#include "app/Windowing.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Without a display GLFW cannot start; the user learns GLFW's own reason, once, on a line of its own,
// and what the game needs.
TEST(WindowingTest, NoDisplaySaysWhyAndWhatTheGameNeeds) {
    const char* display = std::getenv("DISPLAY");
    const std::string kept = display ? display : "";
    unsetenv("DISPLAY");
    testing::internal::CaptureStderr();
    const bool started = startGlfw();
    const std::string said = testing::internal::GetCapturedStderr();
    if (started) glfwTerminate();
    if (display) setenv("DISPLAY", kept.c_str(), 1);  // for the GL tests after this one in the process
    EXPECT_FALSE(started);
    const size_t reason = said.find("DISPLAY");
    EXPECT_NE(reason, std::string::npos) << said;
    EXPECT_EQ(said.find("DISPLAY", reason + 1), std::string::npos) << "said twice: " << said;
    EXPECT_EQ(said.substr(said.find('\n') + 1), std::string(kRequirements) + "\n") << said;
}

}  // namespace
