#pragma once

// A hidden GLFW window with a current OpenGL context for tests that touch GL. Under CI the suite runs
// inside xvfb-run, so the context comes from Mesa's llvmpipe. Tests that need GL derive their
// fixture from GlTest; the context is created once per test process and kept until exit.

#include <gtest/gtest.h>

namespace testsupport {

// Creates the hidden window and makes its context current (once per process). Returns false and
// leaves a reason in `error` when no context can be had (no display, no driver).
bool ensureGlContext(std::string* error = nullptr);

class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
};

}  // namespace testsupport
