#pragma once

#include <functional>

#include <glm/glm.hpp>

#include "Surface.h"

// Shape factories for Surface. Each closes on itself (poles or capped ends) and keeps the
// outward-facing orientation that Surface expects.
namespace shapes {

// Ellipsoid with semi-axes `radii` along the columns of `basis`; t runs from the -z pole to the
// +z pole of the basis, s around it.
Surface::Shape ellipsoid(const glm::vec3& centre, const glm::vec3& radii, const glm::mat3& basis = glm::mat3(1.0f));

// A tube along a curve with an elliptic cross-section; t runs along the curve, s around it. The
// radii functions give the half widths across (towards `side`) and the other way; a radius that
// reaches 0 at an end closes the tube there.
Surface::Shape tube(std::function<glm::vec3(float t)> curve, std::function<float(float t)> radiusSide,
                    std::function<float(float t)> radiusOther, const glm::vec3& side);

// Rounded box ("superellipsoid"): exponent 1 is an ellipsoid, towards 0 it becomes a box.
Surface::Shape roundedBox(const glm::vec3& centre, const glm::vec3& halfSize, float exponentAround, float exponentUp);

// Profile of a tube end that closes like a half sphere over the last `fraction` of the length.
float roundedEnds(float t, float fractionStart, float fractionEnd);

// Basis whose third column (the "pole" axis) is `axis`, with the first column as close to `hint`
// as possible.
glm::mat3 basisAlong(const glm::vec3& axis, const glm::vec3& hint);

}  // namespace shapes
