#pragma once

#include "Image.h"

// The water's maps (512 × 512, tiling seamlessly).
Image paintWaterDudv();    // water/dudv.png: distortion offsets in red and green around 0.5
Image paintWaterNormal();  // water/normal.png: a normal map of small waves, blue pointing up
