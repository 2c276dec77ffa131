#pragma once

#include "render/Frustum.h"

#include <glm/glm.hpp>

// Tests of axis-aligned boxes (min and max corners, world space) against view volumes. They are
// conservative: a box is only ruled out when no part of it can show. Nothing is counted as culled.

// False when the box lies wholly on the outer side of one of the frustum's planes.
bool boxMayBeInFrustum(const Frustum& frustum, const glm::vec3& min, const glm::vec3& max);

// False when every point of the box has a·x + b·y + c·z + d < 0 for `plane` (a clip plane removes it).
bool boxMayBeAbovePlane(const glm::vec4& plane, const glm::vec3& min, const glm::vec3& max);

// False when `viewProjection` maps the whole box beyond one side of [-1, 1] in x or y (depth is not
// tested: the shadow pass clamps it instead of clipping).
bool boxMayCoverClipSquare(const glm::mat4& viewProjection, const glm::vec3& min, const glm::vec3& max);
// The same for the rectangle from `rectLow` to `rectHigh` of clip x and y (a part of the square).
bool boxMayCoverClipRect(const glm::mat4& viewProjection, const glm::vec3& min, const glm::vec3& max,
                         const glm::vec2& rectLow, const glm::vec2& rectHigh);
