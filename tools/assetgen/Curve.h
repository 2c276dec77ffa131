#pragma once

#include <vector>

#include <glm/glm.hpp>

// A smooth curve through control points (Catmull-Rom), parameterised over [0, 1].
class Curve {
public:
    explicit Curve(std::vector<glm::vec3> points);
    glm::vec3 operator()(float t) const;

private:
    std::vector<glm::vec3> points;
};
