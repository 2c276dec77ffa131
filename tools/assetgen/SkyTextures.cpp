#include "SkyTextures.h"

#include <cmath>
#include <vector>

#include "CubeFace.h"
#include "Noise.h"
#include "Paint.h"
#include "Rng.h"

using paint::rgb;

namespace {

glm::vec3 daySky(const Noise& noise, const glm::vec3& d) {
    const glm::vec3 zenith = rgb(64, 140, 232), horizon = rgb(200, 228, 250), below = rgb(178, 208, 232);
    float e = d.y;
    glm::vec3 c = e >= 0 ? glm::mix(horizon, zenith, std::pow(e, 0.55f))
                         : glm::mix(horizon, below, paint::smooth(0.0f, 0.25f, -e));
    if (e <= 0.0f) return c;
    // Clouds on a flat layer overhead: project the direction onto it, so clouds flatten and crowd
    // towards the horizon as real ones do.
    glm::vec2 p = glm::vec2(d.x, d.z) / (e + 0.12f) * 1.4f;
    glm::vec3 q(p.x, 0.0f, p.y);
    float density = noise.fbm3(q, 5);
    float cover = paint::smooth(0.05f, 0.35f, density) * paint::smooth(0.02f, 0.25f, e);
    // Lit from above: the cloud is darker where more cloud lies above the sample.
    float shade = paint::smooth(-0.1f, 0.5f, noise.fbm3(q + glm::vec3(0.05f, 0.4f, 0.08f), 4));
    glm::vec3 cloud = glm::mix(glm::vec3(1.0f), rgb(196, 210, 232), 0.65f * shade);
    return glm::mix(c, cloud, cover * 0.95f);
}

struct Star {
    glm::vec3 direction;
    float brightness;
    float size;  // in radians
    glm::vec3 tint;
};

std::vector<Star> makeStars(int count, float pixelAngle) {
    Rng rng(606);
    std::vector<Star> stars;
    for (int i = 0; i < count; ++i) {
        float z = rng.range(-1.0f, 1.0f), a = rng.range(0.0f, 6.2831853f);
        float r = std::sqrt(1 - z * z);
        float b = std::pow(rng.uniform(), 3.0f);
        glm::vec3 tint = glm::mix(rgb(190, 210, 255), rgb(255, 236, 200), rng.uniform());
        stars.push_back(
            {glm::vec3(r * std::cos(a), z, r * std::sin(a)), 0.35f + 0.65f * b, pixelAngle * (0.55f + 0.7f * b), tint});
    }
    return stars;
}

}  // namespace

Image paintDaySkyFace(int face) {
    const int size = 1024;
    Noise noise(707);
    Image image(size, size);
    image.paint([&](int x, int y) {
        glm::vec3 d = cubeFaceDirection(face, (x + 0.5f) / size, (y + 0.5f) / size);
        return paint::opaque(daySky(noise, d));
    });
    return image;
}

Image paintNightSkyFace(int face) {
    const int size = 512;
    Noise noise(808);
    const glm::vec3 zenith = rgb(6, 10, 36), horizon = rgb(24, 40, 84), below = rgb(10, 16, 40);
    const glm::vec3 bandAxis = glm::normalize(glm::vec3(0.35f, 0.45f, 0.82f));
    Image image(size, size);
    image.paint([&](int x, int y) {
        glm::vec3 d = cubeFaceDirection(face, (x + 0.5f) / size, (y + 0.5f) / size);
        float e = d.y;
        glm::vec3 c = e >= 0 ? glm::mix(horizon, zenith, std::pow(e, 0.6f))
                             : glm::mix(horizon, below, paint::smooth(0.0f, 0.2f, -e));
        float band = std::exp(-std::pow(glm::dot(d, bandAxis) / 0.2f, 2.0f));
        float dust = paint::smooth(-0.2f, 0.6f, noise.fbm3(d * 5.0f, 4));
        c += band * dust * rgb(40, 40, 70);
        return paint::opaque(c);
    });
    // Stars are splatted by their angle to each pixel's direction, so a star on an edge lights
    // both faces alike.
    const float pixelAngle = 2.0f / size;
    for (const Star& star : makeStars(2200, pixelAngle)) {
        float s, t;
        if (!cubeFacePosition(face, star.direction, s, t)) continue;
        int cx = static_cast<int>(std::floor(s * size)), cy = static_cast<int>(std::floor(t * size));
        for (int y = cy - 4; y <= cy + 4; ++y)
            for (int x = cx - 4; x <= cx + 4; ++x) {
                if (x < 0 || y < 0 || x >= size || y >= size) continue;
                glm::vec3 d = cubeFaceDirection(face, (x + 0.5f) / size, (y + 0.5f) / size);
                float angle = std::acos(glm::clamp(glm::dot(d, star.direction), -1.0f, 1.0f));
                // Stars fade out into the haze at the horizon.
                float glow = star.brightness * std::exp(-std::pow(angle / star.size, 2.0f)) *
                             paint::smooth(-0.05f, 0.12f, star.direction.y);
                glm::vec4& px = image.at(x, y);
                px = glm::vec4(glm::min(glm::vec3(px) + star.tint * glow, glm::vec3(1.0f)), 1.0f);
            }
    }
    return image;
}
