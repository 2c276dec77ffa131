#pragma once

#include "Image.h"

// One face of the day sky cube (1024 × 1024): a soft blue gradient with drifting clouds. `face`
// is 0..5 for +X, -X, +Y, -Y, +Z, -Z. Every pixel is painted from the direction it stands for, so
// neighbouring faces meet without a seam.
Image paintDaySkyFace(int face);
// One face of the night sky cube (512 × 512): deep blue with stars and a faint milky band.
Image paintNightSkyFace(int face);
