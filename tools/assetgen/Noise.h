#pragma once

#include <cstdint>

#include <glm/glm.hpp>

// Seeded gradient noise. The 2D forms repeat with a whole-number period so textures that the game
// repeats tile without a seam; the 3D form paints surfaces and sky directions without caring about
// texture-space seams at all. Values lie roughly in [-1, 1].
class Noise {
public:
    explicit Noise(uint32_t seed) : seed(seed) {}

    // Noise at (x, y) repeating every periodX along x and periodY along y (lattice units).
    float periodic2(float x, float y, int periodX, int periodY) const;
    // Sum of octaves over the unit square [0,1)^2 that tiles exactly: `frequency` lattice cells
    // across at the first octave, doubling per octave, amplitude times `gain` per octave.
    float fbm2(float u, float v, int frequency, int octaves, float gain = 0.5f) const;
    float noise3(const glm::vec3& p) const;
    float fbm3(const glm::vec3& p, int octaves, float gain = 0.5f) const;

private:
    uint32_t hash(int x, int y, int z) const;
    glm::vec2 gradient2(int x, int y) const;
    glm::vec3 gradient3(int x, int y, int z) const;

    uint32_t seed;
};
