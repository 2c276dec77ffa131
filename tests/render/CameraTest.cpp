#include "render/Camera.h"

#include "app/Globals.h"
#include "support/ScopedGlobals.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::vector<glm::vec3> boxAt(const glm::vec3& c, float half = 0.5f) {
    std::vector<glm::vec3> corners;
    for (int i = 0; i < 8; ++i)
        corners.push_back(c + glm::vec3(i & 1 ? half : -half, i & 2 ? half : -half, i & 4 ? half : -half));
    return corners;
}

TEST(Camera, CullsWithAWideFrustumCountingEachRejection) {
    testsupport::ScopedGlobals globals;
    culledObjectCount = 0;
    Camera camera(16.0f / 9.0f);
    camera.updateFrustum(0.0f);  // at the origin looking along -z, out to the far plane
    EXPECT_TRUE(camera.isInFrustum(boxAt(glm::vec3(0, 0, -10))));
    EXPECT_TRUE(camera.isInFrustum(boxAt(glm::vec3(0, 0, -1000), 5.0f))) << "straddling the far plane";
    EXPECT_TRUE(camera.isInFrustum(boxAt(glm::vec3(0), 1.0f))) << "straddling the near plane";
    // The full field of view serves as the half angle: 45 degrees off the axis is still inside.
    EXPECT_TRUE(camera.isInFrustum(boxAt(glm::vec3(0, 10, -10), 0.01f)));
    EXPECT_TRUE(camera.isPointInFrustum(glm::vec3(0, 10, -10)));
    EXPECT_EQ(culledObjectCount, 0);
    EXPECT_FALSE(camera.isInFrustum(boxAt(glm::vec3(0, 0, 10))));
    EXPECT_FALSE(camera.isPointInFrustum(glm::vec3(0, 30, -10)));
    EXPECT_EQ(culledObjectCount, 2);
    // On a plane: outside for boxes, inside for points (at x = y = 0 the far plane is exact).
    EXPECT_FALSE(camera.isInFrustum(std::vector<glm::vec3>(8, glm::vec3(0, 0, -1000))));
    EXPECT_TRUE(camera.isPointInFrustum(glm::vec3(0, 0, -1000)));
    camera.updateFrustum(100.0f);
    EXPECT_FALSE(camera.isPointInFrustum(glm::vec3(0, 0, -101))) << "cut at the distance asked for";
}

}  // namespace
