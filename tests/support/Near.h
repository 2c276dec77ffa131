#pragma once

#include <LinearMath/btVector3.h>
#include <glm/glm.hpp>
#include <gtest/gtest.h>

namespace testsupport {

// Whether `a` lies within `eps` of `b`; says where it lies when not.
inline testing::AssertionResult near(const glm::vec3& a, const glm::vec3& b, float eps = 1e-4f) {
    if (glm::length(a - b) <= eps) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") is not within " << eps
                                       << " of (" << b.x << ", " << b.y << ", " << b.z << ")";
}

inline testing::AssertionResult near(const btVector3& a, const glm::vec3& b, float eps = 1e-4f) {
    return near(glm::vec3(a.x(), a.y(), a.z()), b, eps);
}

}  // namespace testsupport
