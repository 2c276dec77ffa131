#pragma once

#include <glm/glm.hpp>
#include <gtest/gtest.h>

namespace testsupport {

// Whether `a` lies within `eps` of `b`; says where it lies when not.
inline testing::AssertionResult near(const glm::vec3& a, const glm::vec3& b, float eps = 1e-4f) {
    if (glm::length(a - b) <= eps) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") is not within " << eps
                                       << " of (" << b.x << ", " << b.y << ", " << b.z << ")";
}

}  // namespace testsupport
