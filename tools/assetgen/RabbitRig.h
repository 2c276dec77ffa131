#pragma once

#include <vector>

#include "Surface.h"

// The rabbit, authored z-up and facing -y, standing on z = 0 with its ear tips near z = 2.55. The
// flying rabbit is the same rabbit with wings; both share one body texture atlas.
namespace rabbitrig {

constexpr int kBodyTextureSize = 512;
constexpr int kEyeTextureSize = 256;

// Body, head, muzzle, ears, feet, paws and tail.
std::vector<Surface> bodyParts();
// The two wings of the flying rabbit (their texture lives in the same atlas).
std::vector<Surface> wingParts();
std::vector<Surface> eyeParts();

}  // namespace rabbitrig
