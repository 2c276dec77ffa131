#include "IconTexture.h"

#include <algorithm>
#include <cmath>

#include "Paint.h"

using paint::rgb;

namespace {

const int kSize = 256;

// Signed distance (pixels, negative inside) to a square of half size `half` with rounded corners.
float roundedSquare(glm::vec2 p, float half, float radius) {
    const glm::vec2 q = glm::abs(p) - glm::vec2(half - radius);
    return glm::length(glm::max(q, 0.0f)) + std::min(std::max(q.x, q.y), 0.0f) - radius;
}

// Distance to the side of the line a -> b; negative on its left (inside a clockwise triangle in
// image coordinates, where y grows downwards).
float side(glm::vec2 p, glm::vec2 a, glm::vec2 b) {
    const glm::vec2 d = glm::normalize(b - a);
    return (p - a).x * d.y - (p - a).y * d.x;
}

float triangle(glm::vec2 p, glm::vec2 a, glm::vec2 b, glm::vec2 c) {
    return std::max({side(p, a, b), side(p, b, c), side(p, c, a)});
}

// The cat's head: a round face and two ears.
float head(glm::vec2 p) {
    const float face = glm::length((p - glm::vec2(128, 150)) * glm::vec2(1.0f, 1.12f)) - 66.0f;
    const float leftEar = triangle(p, {66, 128}, {78, 52}, {124, 98});
    const float rightEar = triangle(p, {132, 98}, {178, 52}, {190, 128});
    return std::min({face, leftEar, rightEar});
}

float eye(glm::vec2 p, float x) { return glm::length((p - glm::vec2(x, 146)) * glm::vec2(1.0f, 0.8f)) - 13.0f; }

glm::vec3 backdrop(glm::vec2 p) {
    const float hill = 178.0f + 14.0f * std::sin(p.x * 0.028f + 0.6f);
    const glm::vec3 sky = glm::mix(rgb(92, 158, 214), rgb(178, 214, 236), p.y / kSize);
    const glm::vec3 grass = glm::mix(rgb(96, 150, 70), rgb(52, 98, 48), (p.y - hill) / 80.0f);
    glm::vec3 c = glm::mix(sky, grass, paint::smooth(-1.0f, 1.0f, p.y - hill));
    // The diamond in the sky, top right.
    const glm::vec2 d = glm::abs(p - glm::vec2(208, 46));
    const float gem = (d.x + d.y * 0.75f) - 18.0f;
    return glm::mix(c, rgb(120, 236, 230) * (0.8f + 0.2f * (p.x > 208 ? 1.0f : 0.0f)), paint::smooth(1.0f, -1.0f, gem));
}

glm::vec3 cat(glm::vec2 p, glm::vec3 under) {
    const float h = head(p);
    glm::vec3 c = glm::mix(rgb(240, 150, 60), rgb(252, 196, 120), paint::smooth(40.0f, -40.0f, p.y - 150.0f));
    c = glm::mix(c, rgb(58, 36, 24), paint::band(h + 2.5f, 2.5f, 1.0f));  // outline
    for (float x : {104.0f, 152.0f}) {
        const float e = eye(p, x);
        c = glm::mix(c, rgb(120, 200, 90), paint::smooth(1.0f, -1.0f, e));
        const float pupil = std::max(std::fabs(p.x - x) - 3.5f, e + 2.0f);  // a slit, upright
        c = glm::mix(c, rgb(20, 24, 20), paint::smooth(1.0f, -1.0f, pupil));
    }
    const float nose = triangle(p, {120, 170}, {136, 170}, {128, 180});
    c = glm::mix(c, rgb(230, 110, 130), paint::smooth(1.0f, -1.0f, nose));
    return glm::mix(under, c, paint::smooth(0.8f, -0.8f, h));
}

}  // namespace

Image paintIcon() {
    Image image(kSize, kSize);
    image.paint([](int x, int y) {
        const glm::vec2 p(x + 0.5f, y + 0.5f);
        const float frame = roundedSquare(p - glm::vec2(kSize / 2.0f), kSize / 2.0f - 4.0f, 44.0f);
        glm::vec3 c = cat(p, backdrop(p));
        c = glm::mix(c, rgb(30, 40, 48), paint::band(frame + 3.0f, 3.0f, 1.0f));
        return glm::vec4(c, paint::smooth(0.8f, -0.8f, frame));
    });
    return image;
}
