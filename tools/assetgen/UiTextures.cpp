#include "UiTextures.h"

#include <algorithm>
#include <cmath>

#include "Paint.h"

using paint::rgb;

namespace {

// Signed distance (pixels, negative inside) to the crosshair: a ring, four ticks and a dot.
float crosshairDistance(float x, float y) {
    float r = std::hypot(x, y);
    float ring = std::fabs(r - 36.0f) - 3.5f;
    float ax = std::fabs(x), ay = std::fabs(y);
    // Ticks along the axes, from inside the ring towards the centre.
    float tickH = std::max(std::fabs(ax - 22.0f) - 7.0f, ay - 2.5f);
    float tickV = std::max(std::fabs(ay - 22.0f) - 7.0f, ax - 2.5f);
    float dot = r - 4.0f;
    return std::min({ring, tickH, tickV, dot});
}

Image crosshair(const glm::vec3& colour) {
    const int size = 128;
    const glm::vec3 outline = rgb(20, 20, 28);
    Image image(size, size, glm::vec4(colour, 0.0f));
    image.paint([&](int x, int y) {
        float d = crosshairDistance(x + 0.5f - size / 2.0f, y + 0.5f - size / 2.0f);
        float fill = paint::smooth(0.7f, -0.7f, d);
        // A dark rim about three texels wide, so the crosshair reads on sky, grass and rock alike.
        float edge = 0.9f * paint::smooth(4.2f, 2.6f, d);
        float alpha = fill + edge * (1.0f - fill);
        glm::vec3 c = alpha > 0 ? (colour * fill + outline * edge * (1.0f - fill)) / alpha : colour;
        return glm::vec4(c, alpha);
    });
    return image;
}

}  // namespace

Image paintCursor() { return crosshair(rgb(255, 140, 40)); }

Image paintCursorWhite() { return crosshair(glm::vec3(1.0f)); }

Image paintParticles() {
    const int size = 128, frame = 32;
    const glm::vec3 gold = rgb(255, 208, 110), white = rgb(255, 252, 236);
    Image image(size, size, glm::vec4(gold, 0.0f));
    for (int k = 0; k < 16; ++k) {
        float age = (k + 0.5f) / 16.0f;
        float radius = 13.0f * (1.0f - 0.55f * age);
        float intensity = std::pow(1.0f - age, 1.3f);
        int ox = (k % 4) * frame, oy = (k / 4) * frame;
        for (int y = 0; y < frame; ++y)
            for (int x = 0; x < frame; ++x) {
                float dx = x + 0.5f - frame / 2.0f, dy = y + 0.5f - frame / 2.0f;
                float r = std::hypot(dx, dy);
                float core = std::exp(-std::pow(r / (0.35f * radius), 2.0f));
                float halo = 0.45f * std::exp(-std::pow(r / radius, 2.0f));
                // A four-pointed twinkle that turns a little as the sparkle fades.
                float a = 0.4f * age;
                float rx = std::fabs(dx * std::cos(a) + dy * std::sin(a)),
                      ry = std::fabs(-dx * std::sin(a) + dy * std::cos(a));
                float rays = 0.6f * (std::exp(-rx * rx / 1.5f) * std::exp(-ry / radius * 2.0f) +
                                     std::exp(-ry * ry / 1.5f) * std::exp(-rx / radius * 2.0f));
                float glow = (core + halo + rays) * intensity * paint::smooth(15.5f, 12.0f, r);
                glm::vec3 c = glm::mix(gold, white, glm::clamp(core, 0.0f, 1.0f));
                image.at(ox + x, oy + y) = glm::vec4(c, glm::clamp(glow, 0.0f, 1.0f));
            }
    }
    return image;
}
