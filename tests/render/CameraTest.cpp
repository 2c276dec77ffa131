#include "render/Camera.h"

#include "app/Globals.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::vector<glm::vec3> unitBoxAt(const glm::vec3& c, float half = 0.5f) {
    std::vector<glm::vec3> corners;
    for (int i = 0; i < 8; ++i)
        corners.push_back(c + glm::vec3(i & 1 ? half : -half, i & 2 ? half : -half, i & 4 ? half : -half));
    return corners;
}

class CameraCulling : public ::testing::Test {
protected:
    void SetUp() override {
        culledObjectCount = 0;
        camera.updateFrustum(0.0f);  // at the origin looking along -z
    }
    Camera camera{16.0f / 9.0f};
};

TEST(CameraProjection, MatchesTheSymmetricPerspective) {
    const Camera camera(16.0f / 9.0f);
    const glm::mat4 m = camera.getProjectionMatrix();
    EXPECT_NEAR(m[1][1], 1.7320508f, 1e-5f);
    EXPECT_NEAR(m[0][0], 1.7320508f * 9.0f / 16.0f, 1e-5f);
    EXPECT_NEAR(m[2][2], -(1000.0f + 0.1f) / (1000.0f - 0.1f), 1e-6f);
    EXPECT_FLOAT_EQ(m[2][3], -1.0f);
    EXPECT_NEAR(m[3][2], -2.0f * 1000.0f * 0.1f / (1000.0f - 0.1f), 1e-6f);
    EXPECT_FLOAT_EQ(m[3][3], 0.0f);
    EXPECT_FLOAT_EQ(m[2][0], 0.0f);
    EXPECT_FLOAT_EQ(m[2][1], 0.0f);
}

TEST(CameraFrustum, CornersUseTheFullFieldOfViewAsHalfAngle) {
    Camera camera(2.0f);
    const float t = std::tan(60.0f * 0.017453292f);
    EXPECT_NEAR(camera.localFrustum.corners[0].x, -2.0f * t * 0.1f, 1e-6f);
    EXPECT_NEAR(camera.localFrustum.corners[7].y, t * 1000.0f, 1e-2f);
    EXPECT_FLOAT_EQ(camera.localFrustum.corners[7].z, -1000.0f);
    camera.computeLocalFrustum(100.0f);
    EXPECT_FLOAT_EQ(camera.localFrustum.corners[4].z, -100.0f);
    camera.computeLocalFrustum(0.0f);
    EXPECT_FLOAT_EQ(camera.localFrustum.corners[4].z, -1000.0f);
}

TEST(CameraFrustum, FollowsTheCameraTransformAndKeepsItsCentreInside) {
    Camera camera(1.5f);
    camera.setTransform(glm::vec3(10, 5, 0), glm::vec3(-0.3f, 1.2f, 0.0f), glm::vec3(1.0f));
    camera.updateFrustum(100.0f);
    const glm::vec3 forward = glm::vec3(camera.getModelMatrix() * glm::vec4(0, 0, -1, 0));
    const glm::vec3 expectedNearCentre = camera.position + forward * 0.1f;
    const auto& c = camera.frustum.corners;
    const glm::vec3 nearCentre = (c[0] + c[1] + c[2] + c[3]) * 0.25f;
    EXPECT_NEAR(glm::distance(nearCentre, expectedNearCentre), 0.0f, 1e-4f);
    for (const glm::vec4& plane : camera.frustum.planes)
        EXPECT_GT(glm::dot(glm::vec3(plane), camera.frustum.centre) + plane.w, 0.0f);
    EXPECT_NEAR(glm::distance(camera.frustum.centre, camera.position + forward * 50.05f), 0.0f, 1e-2f);
}

TEST_F(CameraCulling, BoxInFrontIsVisible) {
    EXPECT_TRUE(camera.isInFrustum(unitBoxAt(glm::vec3(0, 0, -10))));
    EXPECT_EQ(culledObjectCount, 0);
}

TEST_F(CameraCulling, BoxBehindIsRejectedAndCountedOnce) {
    EXPECT_FALSE(camera.isInFrustum(unitBoxAt(glm::vec3(0, 0, 10))));
    EXPECT_EQ(culledObjectCount, 1);
}

TEST_F(CameraCulling, BoxStraddlingAFaceIsAccepted) {
    // Crosses the far plane at z = -1000.
    EXPECT_TRUE(camera.isInFrustum(unitBoxAt(glm::vec3(0, 0, -1000), 5.0f)));
    // Crosses the near plane.
    EXPECT_TRUE(camera.isInFrustum(unitBoxAt(glm::vec3(0, 0, 0), 1.0f)));
    EXPECT_EQ(culledObjectCount, 0);
}

TEST_F(CameraCulling, FortyFiveDegreesOffAxisIsInsideTheWideCullingFrustum) {
    EXPECT_TRUE(camera.isInFrustum(unitBoxAt(glm::vec3(0, 10, -10), 0.01f)));
    EXPECT_TRUE(camera.isPointInFrustum(glm::vec3(0, 10, -10)));
    EXPECT_FALSE(camera.isPointInFrustum(glm::vec3(0, 30, -10)));
    EXPECT_EQ(culledObjectCount, 1);
}

TEST_F(CameraCulling, PointExactlyOnAPlaneIsOutsideForBoxesButInsideForPoints) {
    // Every corner on the far plane z = -1000 (at x = y = 0 the plane is exact).
    const std::vector<glm::vec3> flat(8, glm::vec3(0, 0, -1000));
    const glm::vec4& far = camera.frustum.planes[1];
    ASSERT_FLOAT_EQ(glm::dot(glm::vec3(far), flat[0]) + far.w, 0.0f);
    EXPECT_FALSE(camera.isInFrustum(flat));
    EXPECT_TRUE(camera.isPointInFrustum(flat[0]));
    EXPECT_EQ(culledObjectCount, 1);
}

TEST(CameraViews, SkyViewIgnoresTranslationAndAddsYaw) {
    Camera camera(1.0f);
    camera.setTransform(glm::vec3(100, 50, 3), glm::vec3(0.2f, 0.5f, 0.0f), glm::vec3(1.0f));
    const glm::mat4 sky = camera.getSkyViewMatrix(0.25f);
    EXPECT_EQ(glm::vec3(sky[3]), glm::vec3(0.0f));
    const glm::mat4 expected = glm::inverse(SceneObject::rotationMatrix(glm::vec3(0.2f, 0.75f, 0.0f)));
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) EXPECT_NEAR(sky[c][r], expected[c][r], 1e-5f);
    const glm::vec4 origin = camera.getViewMatrix() * glm::vec4(camera.position, 1.0f);
    EXPECT_NEAR(glm::length(glm::vec3(origin)), 0.0f, 1e-4f);
}

}  // namespace
