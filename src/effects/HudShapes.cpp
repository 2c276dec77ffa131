#include "effects/HudShapes.h"

void HudShapes::quad(const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& d) {
    // a, b, c, d run round the quad.
    points.insert(points.end(), {a, b, c, a, c, d});
}

void HudShapes::rect(const glm::vec2& low, const glm::vec2& high, const glm::vec4& color) {
    fade(low, high, 0, color, color);
}

void HudShapes::fade(const glm::vec2& low, const glm::vec2& high, int innerEdge, const glm::vec4& inner,
                     const glm::vec4& outer) {
    // The corners anticlockwise from the bottom-left, and which of them lie on each edge (left,
    // bottom, right, top).
    const glm::vec2 corners[4] = {low, {high.x, low.y}, high, {low.x, high.y}};
    const bool onEdge[4][4] = {
        {true, false, false, true}, {true, true, false, false}, {false, true, true, false}, {false, false, true, true}};
    Vertex v[4];
    for (int i = 0; i < 4; ++i) v[i] = {corners[i], onEdge[innerEdge & 3][i] ? inner : outer};
    quad(v[0], v[1], v[2], v[3]);
}

void HudShapes::triangle(const glm::vec2& a, const glm::vec2& b, const glm::vec2& c, const glm::vec4& color) {
    points.insert(points.end(), {{a, color}, {b, color}, {c, color}});
}

void HudShapes::bar(const glm::vec2& a, const glm::vec2& b, float thickness, const glm::vec4& color) {
    const glm::vec2 along = b - a;
    const float length = glm::length(along);
    if (length <= 0.0f) return;
    const glm::vec2 side = glm::vec2(-along.y, along.x) / length * (thickness / 2.0f);
    quad({a - side, color}, {b - side, color}, {b + side, color}, {a + side, color});
}
