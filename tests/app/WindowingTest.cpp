#include "app/Windowing.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Without a display GLFW cannot start; the user learns GLFW's own reason and what the game needs.
TEST(WindowingTest, NoDisplaySaysWhyAndWhatTheGameNeeds) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    testing::internal::CaptureStderr();
    const bool started = startGlfw();
    const std::string said = testing::internal::GetCapturedStderr();
    if (started) glfwTerminate();
    EXPECT_FALSE(started);
    EXPECT_NE(said.find("DISPLAY"), std::string::npos) << said;
    EXPECT_NE(said.find(kRequirements), std::string::npos) << said;
}

}  // namespace
