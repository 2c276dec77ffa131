#include "app/Windowing.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Without a display GLFW cannot start; the user learns GLFW's own reason and what the game needs.
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
    EXPECT_NE(said.find("DISPLAY"), std::string::npos) << said;
    EXPECT_NE(said.find(kRequirements), std::string::npos) << said;
}

}  // namespace
