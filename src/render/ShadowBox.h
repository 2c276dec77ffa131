#pragma once

#include "render/Frustum.h"

#include <glm/glm.hpp>

// The sun's orthographic projection: a box around the view that receives shadows, snapped so that
// the world origin always falls on a texel corner of the shadow map. Without the snapping the
// shadow edges would crawl as the camera moves.
class ShadowBox {
public:
    static constexpr float halfExtent = 150.0f;  // world units from the frustum centre

    // Fits the box around `frustum.centre` in the light space of `lightView`.
    void update(const Frustum& frustum, const glm::mat4& lightView);

    glm::mat4 projectionMatrix{1.0f};
    float mapSize = 4096.0f;  // texels of the shadow map, which the snapping is done for
    // When above 0: the world units the depth range reaches along the sunlight either side of the
    // centre, for a box whose centre steps along it in large steps (otherwise the box's own extent).
    float depthReach = 0.0f;
};
