#pragma once

#include "scene/SceneObject.h"
#include "render/Frustum.h"

#include <vector>

// The viewpoint: a scene object looking along its local -Z with +Y up, a perspective projection and
// a world-space culling frustum. The culling frustum uses the full field of view as its half angle,
// so it is deliberately much wider than the projection: objects near the screen edge are never lost.
class Camera : public SceneObject {
public:
    // Rejections of the frustum tests are counted in `*culledCount` (not at all when it is null).
    explicit Camera(float aspectRatio, int* culledCount = nullptr);
    ~Camera() override = default;

    void setRotation(const glm::vec3& r) override;

    // Camera-space corners out to `distance` (farPlane when distance <= 0) into localFrustum.
    void computeLocalFrustum(float distance);
    // World-space corners, planes and centre out to `distance` (farPlane when distance <= 0).
    void updateFrustum(float distance);
    // The same for the camera as it is now, without storing it.
    Frustum currentFrustum(float distance) const;

    // Conservative box test against the last updateFrustum; a rejection counts as culled.
    bool isInFrustum(const std::vector<glm::vec3>& corners) const;
    // Point test used for particles: outside when below any plane; a rejection counts as culled.
    bool isPointInFrustum(const glm::vec3& p) const;

    glm::mat4 getProjectionMatrix() const;
    glm::mat4 getViewMatrix() const;
    // Rotation-only view for the sky box, with an extra yaw.
    glm::mat4 getSkyViewMatrix(float yawOffset) const;

    float fieldOfView = 60.0f;
    float nearPlane = 0.1f;
    float farPlane = 1000.0f;
    float aspectRatio;
    float mouseSensitivity = 0.001f;
    Frustum frustum;
    Frustum localFrustum;
    int* culledCount;

private:
    std::array<glm::vec3, 8> cameraSpaceCorners(float distance) const;
};
