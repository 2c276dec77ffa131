#include "TerrainTextures.h"

#include <cmath>
#include <vector>

#include "Noise.h"
#include "Paint.h"
#include "Rng.h"
#include "SurfaceBaker.h"

using paint::rgb;

namespace {

const float kTau = 6.2831853f;

// Wraps a texture-space difference into [-0.5, 0.5), for features that must tile.
float wrapDelta(float d) { return d - std::floor(d + 0.5f); }

}  // namespace

Image paintSand() {
    const int size = 2048;
    Noise noise(909);
    const glm::vec3 sand = rgb(236, 206, 150), light = rgb(250, 232, 190), dark = rgb(206, 170, 112);
    Image image(size, size);
    image.paint([&](int x, int y) {
        float u = static_cast<float>(x) / size, v = static_cast<float>(y) / size;
        // Broad patches of lighter and darker sand.
        float patches = noise.fbm2(u, v, 4, 4);
        glm::vec3 c = glm::mix(sand, light, paint::smooth(0.0f, 0.5f, patches));
        c = glm::mix(c, dark, 0.6f * paint::smooth(0.0f, -0.5f, patches));
        // Wind ripples: whole-number frequencies keep them periodic over the tile.
        float warp = 1.8f * noise.fbm2(u, v, 3, 3);
        float ripple = std::sin(kTau * (11.0f * u + 4.0f * v) + warp);
        float crest = std::pow(0.5f + 0.5f * ripple, 3.0f);
        c *= 0.94f + 0.1f * crest;
        // Fine grain, faint so it never reads as noise from a distance.
        c *= 1.0f + 0.035f * noise.fbm2(u, v, 256, 2);
        return paint::opaque(c);
    });
    // Scattered shell and pebble flecks, wrapped around the tile's edges.
    Rng rng(910);
    for (int i = 0; i < 900; ++i) {
        glm::vec2 centre(rng.uniform(), rng.uniform());
        float radius = rng.range(1.5f, 4.0f) / size;
        glm::vec3 colour = rng.uniform() < 0.6f ? rgb(255, 244, 226) : rgb(170, 140, 110);
        int r = static_cast<int>(std::ceil(radius * size)) + 1;
        int cx = static_cast<int>(centre.x * size), cy = static_cast<int>(centre.y * size);
        for (int y = cy - r; y <= cy + r; ++y)
            for (int x = cx - r; x <= cx + r; ++x) {
                int wx = (x % size + size) % size, wy = (y % size + size) % size;
                float du = wrapDelta((x + 0.5f) / size - centre.x), dv = wrapDelta((y + 0.5f) / size - centre.y);
                float cover = paint::smooth(radius, radius * 0.6f, std::hypot(du, dv));
                image.blend(wx, wy, glm::vec4(colour, 1.0f), 0.7f * cover);
            }
    }
    return image;
}

Image paintJade() {
    const int size = 2048;
    Noise noise(1010);
    const glm::vec3 deep = rgb(40, 140, 96), jade = rgb(84, 186, 124), pale = rgb(168, 226, 178),
                    vein = rgb(22, 92, 66);
    Image image(size, size);
    image.paint([&](int x, int y) {
        float u = static_cast<float>(x) / size, v = static_cast<float>(y) / size;
        float cloud = noise.fbm2(u, v, 3, 5);
        glm::vec3 c = glm::mix(jade, pale, paint::smooth(0.1f, 0.55f, cloud));
        c = glm::mix(c, deep, paint::smooth(-0.05f, -0.5f, cloud));
        // Veins where a second, warped noise field crosses zero.
        float warped = noise.fbm2(u + 0.08f * cloud, v - 0.08f * cloud, 4, 5);
        float veinLine = 1.0f - paint::smooth(0.0f, 0.035f, std::fabs(warped));
        float fine = 1.0f - paint::smooth(0.0f, 0.02f, std::fabs(noise.fbm2(u, v, 8, 3)));
        c = glm::mix(c, vein, 0.75f * veinLine + 0.3f * fine);
        c *= 1.0f + 0.02f * noise.fbm2(u, v, 128, 2);
        return paint::opaque(c);
    });
    return image;
}

Image paintGrass() {
    const int size = 128;
    Rng rng(1111);
    const glm::vec3 base = rgb(24, 84, 20), tip = rgb(96, 170, 40);
    // Transparent pixels keep a grass colour so filtering never darkens the blade edges.
    Image image(size, size, glm::vec4(rgb(50, 120, 30), 0.0f));
    struct Blade {
        float x0, bend, height, width;
    };
    std::vector<Blade> blades;
    for (int i = 0; i < 15; ++i)
        blades.push_back(
            {rng.range(0.12f, 0.88f), rng.range(-0.18f, 0.18f), rng.range(0.55f, 0.97f), rng.range(0.025f, 0.045f)});
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            glm::vec2 uv = pixelUv(image, x, y);
            for (const Blade& b : blades) {
                float h = uv.y / b.height;
                if (h > 1.0f) continue;
                float centre = b.x0 + b.bend * h * h;
                float halfWidth = b.width * std::pow(1.0f - h, 0.7f);
                float d = std::fabs(uv.x - centre);
                float cover = paint::smooth(halfWidth + 0.6f / size, halfWidth - 0.6f / size, d);
                if (cover <= 0) continue;
                glm::vec3 c = glm::mix(base, tip, std::pow(h, 0.8f));
                c *= 0.85f + 0.25f * (1.0f - d / std::max(halfWidth, 1e-4f));  // a lighter midrib
                image.blend(x, y, glm::vec4(c, 1.0f), cover);
            }
        }
    return image;
}
