#pragma once

#include <vector>

#include "Surface.h"

// The cat and its cushion, authored z-up and facing -y, as the parts that both the model and its
// textures are made from. The cushion's underside is at z = -2 and the ear tips near z = 0.85.
namespace catrig {

constexpr int kPillowTextureSize = 512;
constexpr int kBodyTextureSize = 512;
constexpr int kTailTextureSize = 256;
constexpr int kEyeTextureSize = 256;

// Half width of the square that the cushion's top-down texture covers.
constexpr float kPillowUvHalfWidth = 1.32f;

std::vector<Surface> cushionParts();
std::vector<Surface> tailParts();
// The two eyes, mapped as a front view of one eye each (the texture is a picture of an eye).
std::vector<Surface> eyeParts();
// Torso, head, muzzle, ears, paws and haunches: one mesh, one texture atlas.
std::vector<Surface> bodyParts();

}  // namespace catrig
