#include "render/Camera.h"

#include <cmath>

namespace {
constexpr float kDegToRad = 0.017453292f;

// Three corners per face, ordered so that (p2 - p0) x (p1 - p0) points into the frustum.
constexpr int kFaceCorners[6][3] = {
    {0, 1, 2},  // near
    {4, 6, 5},  // far
    {0, 2, 4},  // left
    {1, 5, 3},  // right
    {2, 3, 6},  // top
    {0, 4, 1},  // bottom
};
}  // namespace

Camera::Camera(float aspect, int* culled) : aspectRatio(aspect), culledCount(culled) { computeLocalFrustum(farPlane); }

void Camera::setRotation(const glm::vec3& r) { SceneObject::setRotation(r); }

std::array<glm::vec3, 8> Camera::cameraSpaceCorners(float distance) const {
    const float n = nearPlane;
    const float f = distance > 0.0f ? distance : farPlane;
    const float t = std::tan(fieldOfView * kDegToRad);
    const float hN = t * n, wN = aspectRatio * hN;
    const float hF = t * f, wF = aspectRatio * hF;
    return {glm::vec3(-wN, -hN, -n), glm::vec3(wN, -hN, -n), glm::vec3(-wN, hN, -n), glm::vec3(wN, hN, -n),
            glm::vec3(-wF, -hF, -f), glm::vec3(wF, -hF, -f), glm::vec3(-wF, hF, -f), glm::vec3(wF, hF, -f)};
}

void Camera::computeLocalFrustum(float distance) { localFrustum.corners = cameraSpaceCorners(distance); }

void Camera::updateFrustum(float distance) { frustum = currentFrustum(distance); }

Frustum Camera::currentFrustum(float distance) const {
    Frustum result;
    const glm::mat4 model = getModelMatrix();
    const auto local = cameraSpaceCorners(distance);
    glm::vec3 sum(0.0f);
    for (int i = 0; i < 8; ++i) {
        result.corners[i] = glm::vec3(model * glm::vec4(local[i], 1.0f));
        sum += result.corners[i];
    }
    for (int face = 0; face < 6; ++face) {
        const glm::vec3& p0 = result.corners[kFaceCorners[face][0]];
        const glm::vec3& p1 = result.corners[kFaceCorners[face][1]];
        const glm::vec3& p2 = result.corners[kFaceCorners[face][2]];
        const glm::vec3 normal = glm::normalize(glm::cross(p2 - p0, p1 - p0));
        result.planes[face] = glm::vec4(normal, -glm::dot(normal, p0));
    }
    result.centre = sum * 0.125f;
    return result;
}

bool Camera::isInFrustum(const std::vector<glm::vec3>& corners) const {
    for (const glm::vec4& plane : frustum.planes) {
        bool anyInside = false;
        for (const glm::vec3& c : corners) {
            if (glm::dot(glm::vec3(plane), c) + plane.w > 0.0f) {
                anyInside = true;
                break;
            }
        }
        if (!anyInside) {
            if (culledCount) ++*culledCount;
            return false;
        }
    }
    return true;
}

bool Camera::isPointInFrustum(const glm::vec3& p) const {
    for (const glm::vec4& plane : frustum.planes) {
        if (glm::dot(glm::vec3(plane), p) + plane.w < 0.0f) {
            if (culledCount) ++*culledCount;
            return false;
        }
    }
    return true;
}

glm::mat4 Camera::getProjectionMatrix() const {
    const float top = std::tan(fieldOfView * 0.5f * kDegToRad) * nearPlane;
    const float right = top * aspectRatio;
    glm::mat4 m(0.0f);
    m[0][0] = 2.0f * nearPlane / (2.0f * right);
    m[1][1] = 2.0f * nearPlane / (2.0f * top);
    m[2][2] = -(farPlane + nearPlane) / (farPlane - nearPlane);
    m[2][3] = -1.0f;
    m[3][2] = -2.0f * farPlane * nearPlane / (farPlane - nearPlane);
    return m;
}

glm::mat4 Camera::getViewMatrix() const { return glm::inverse(getModelMatrix()); }

glm::mat4 Camera::getSkyViewMatrix(float yawOffset) const {
    return glm::inverse(rotationMatrix(glm::vec3(rotation.x, rotation.y + yawOffset, rotation.z)));
}
