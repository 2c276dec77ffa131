#include "Curve.h"

#include <algorithm>
#include <cmath>
#include <utility>

Curve::Curve(std::vector<glm::vec3> points) : points(std::move(points)) {}

glm::vec3 Curve::operator()(float t) const {
    int segments = static_cast<int>(points.size()) - 1;
    float x = glm::clamp(t, 0.0f, 1.0f) * segments;
    int i = std::min(static_cast<int>(std::floor(x)), segments - 1);
    float u = x - i;
    auto p = [&](int k) { return points[std::clamp(k, 0, segments)]; };
    glm::vec3 p0 = p(i - 1), p1 = p(i), p2 = p(i + 1), p3 = p(i + 2);
    // Uniform Catmull-Rom; the end points repeat so the curve starts and ends at them.
    return 0.5f * ((2.0f * p1) + (-p0 + p2) * u + (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) * u * u +
                   (-p0 + 3.0f * p1 - 3.0f * p2 + p3) * u * u * u);
}
