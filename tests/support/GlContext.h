#pragma once

#include <gtest/gtest.h>

struct GLFWwindow;

namespace testsupport {

// A hidden window with a current context, made once per process; without one the process stops.
GLFWwindow* glWindow();

// Fixtures for GL tests derive from this, so the context exists before their members are made.
class GlTest : public ::testing::Test {
protected:
    GlTest() { glWindow(); }
};

}  // namespace testsupport
