#include "WaterTextures.h"

#include <vector>

#include "Noise.h"
#include "Paint.h"

Image paintWaterDudv() {
    const int size = 512;
    Noise noiseU(1212), noiseV(1213);
    Image image(size, size);
    image.paint([&](int x, int y) {
        float u = static_cast<float>(x) / size, v = static_cast<float>(y) / size;
        float du = noiseU.fbm2(u, v, 4, 4, 0.55f), dv = noiseV.fbm2(u, v, 4, 4, 0.55f);
        return glm::vec4(0.5f + 0.5f * glm::clamp(du * 1.4f, -1.0f, 1.0f),
                         0.5f + 0.5f * glm::clamp(dv * 1.4f, -1.0f, 1.0f), 0.0f, 1.0f);
    });
    return image;
}

Image paintWaterNormal() {
    const int size = 512;
    Noise noise(1314);
    std::vector<float> height(static_cast<size_t>(size) * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = static_cast<float>(x) / size, v = static_cast<float>(y) / size;
            height[static_cast<size_t>(y) * size + x] = noise.fbm2(u, v, 6, 4, 0.5f);
        }
    auto h = [&](int x, int y) { return height[static_cast<size_t>((y + size) % size) * size + (x + size) % size]; };
    Image image(size, size);
    const float strength = 28.0f;
    image.paint([&](int x, int y) {
        // Differences wrap around the edges, like the height field itself.
        float dx = (h(x + 1, y) - h(x - 1, y)) * strength, dy = (h(x, y + 1) - h(x, y - 1)) * strength;
        glm::vec3 n = glm::normalize(glm::vec3(-dx, dy, 1.0f));
        return glm::vec4(n * 0.5f + 0.5f, 1.0f);
    });
    return image;
}
