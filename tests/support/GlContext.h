#pragma once

// A hidden GLFW window with a current OpenGL context for the tests that touch GL. Under CI the suite
// runs inside xvfb-run, so the context comes from Mesa's llvmpipe. It is made once per test process
// and kept until exit.

#include <gtest/gtest.h>

struct GLFWwindow;

namespace testsupport {

// The window whose context is current; made on first use. Without a display or a driver the test
// process stops with the reason, since every later GL call would crash it.
GLFWwindow* glWindow();

// Fixtures for GL tests derive from this, so the context exists before their members are made.
class GlTest : public ::testing::Test {
protected:
    GlTest() { glWindow(); }
};

}  // namespace testsupport
