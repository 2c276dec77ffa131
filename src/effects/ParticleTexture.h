#pragma once

#include <cstdint>

// A texture atlas of numberOfRows x numberOfRows animation frames, read left to right, top row first.
struct ParticleTexture {
    std::uint32_t textureId = 0;
    std::uint32_t numberOfRows = 1;
};
