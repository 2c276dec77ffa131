#pragma once

#include <glm/glm.hpp>

#include <vector>

// Flat coloured triangles drawn under the HUD text: the round-end backdrop, the flash at the screen's
// edges when the cat is hit, the marker pointing at the shooter, the hit marker. Window pixels with
// the origin at the bottom-left; colours are straight (not premultiplied) with their opacity.
class HudShapes {
public:
    struct Vertex {
        glm::vec2 at{0.0f};
        glm::vec4 color{1.0f};
    };

    // An axis-aligned rectangle of one colour.
    void rect(const glm::vec2& low, const glm::vec2& high, const glm::vec4& color);
    // A rectangle whose colour runs from `inner` along one edge to `outer` along the opposite one:
    // `innerEdge` names the edge (0 left, 1 bottom, 2 right, 3 top) that takes `inner`.
    void fade(const glm::vec2& low, const glm::vec2& high, int innerEdge, const glm::vec4& inner,
              const glm::vec4& outer);
    void triangle(const glm::vec2& a, const glm::vec2& b, const glm::vec2& c, const glm::vec4& color);
    // A bar of `thickness` from `a` to `b`.
    void bar(const glm::vec2& a, const glm::vec2& b, float thickness, const glm::vec4& color);

    const std::vector<Vertex>& vertices() const { return points; }
    bool empty() const { return points.empty(); }

private:
    void quad(const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& d);

    std::vector<Vertex> points;  // three per triangle
};
