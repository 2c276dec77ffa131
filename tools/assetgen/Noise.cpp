#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace {

float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

int wrap(int i, int period) {
    int m = i % period;
    return m < 0 ? m + period : m;
}

}  // namespace

uint32_t Noise::hash(int x, int y, int z) const {
    uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE3Du;
    h = (h << 17) | (h >> 15);
    h ^= static_cast<uint32_t>(z) * 0x27D4EB2Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

glm::vec2 Noise::gradient2(int x, int y) const {
    float a = static_cast<float>(hash(x, y, 0) & 0xFFFFu) * (6.2831853f / 65536.0f);
    return {std::cos(a), std::sin(a)};
}

glm::vec3 Noise::gradient3(int x, int y, int z) const {
    uint32_t h = hash(x, y, z);
    float zc = static_cast<float>(h & 0xFFFFu) / 32767.5f - 1.0f;
    float a = static_cast<float>(h >> 16) * (6.2831853f / 65536.0f);
    float r = std::sqrt(std::max(0.0f, 1.0f - zc * zc));
    return {r * std::cos(a), r * std::sin(a), zc};
}

float Noise::periodic2(float x, float y, int periodX, int periodY) const {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float dx = x - fx, dy = y - fy;
    int x0 = wrap(ix, periodX), x1 = wrap(ix + 1, periodX);
    int y0 = wrap(iy, periodY), y1 = wrap(iy + 1, periodY);
    float n00 = glm::dot(gradient2(x0, y0), glm::vec2(dx, dy));
    float n10 = glm::dot(gradient2(x1, y0), glm::vec2(dx - 1, dy));
    float n01 = glm::dot(gradient2(x0, y1), glm::vec2(dx, dy - 1));
    float n11 = glm::dot(gradient2(x1, y1), glm::vec2(dx - 1, dy - 1));
    float u = fade(dx), v = fade(dy);
    float nx0 = n00 + u * (n10 - n00);
    float nx1 = n01 + u * (n11 - n01);
    return 1.4142f * (nx0 + v * (nx1 - nx0));
}

float Noise::fbm2(float u, float v, int frequency, int octaves, float gain) const {
    float sum = 0, amp = 1, norm = 0;
    int f = frequency;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * periodic2(u * f + 17.0f * o, v * f + 31.0f * o, f, f);
        norm += amp;
        amp *= gain;
        f *= 2;
    }
    return sum / norm;
}

float Noise::noise3(const glm::vec3& p) const {
    glm::vec3 f = glm::floor(p);
    glm::ivec3 i(f);
    glm::vec3 d = p - f;
    float n[8];
    for (int c = 0; c < 8; ++c) {
        glm::ivec3 o(c & 1, (c >> 1) & 1, (c >> 2) & 1);
        n[c] = glm::dot(gradient3(i.x + o.x, i.y + o.y, i.z + o.z), d - glm::vec3(o));
    }
    float u = fade(d.x), v = fade(d.y), w = fade(d.z);
    float x00 = n[0] + u * (n[1] - n[0]), x10 = n[2] + u * (n[3] - n[2]);
    float x01 = n[4] + u * (n[5] - n[4]), x11 = n[6] + u * (n[7] - n[6]);
    float y0 = x00 + v * (x10 - x00), y1 = x01 + v * (x11 - x01);
    return 1.5f * (y0 + w * (y1 - y0));
}

float Noise::fbm3(const glm::vec3& p, int octaves, float gain) const {
    float sum = 0, amp = 1, norm = 0;
    glm::vec3 q = p;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * noise3(q + glm::vec3(11.3f * o, 5.7f * o, 23.1f * o));
        norm += amp;
        amp *= gain;
        q *= 2.0f;
    }
    return sum / norm;
}
