#pragma once

#include "Image.h"

Image paintCursor();       // cursor_128.png: an orange crosshair ring with a dark outline
Image paintCursorWhite();  // cursor_128_white.png: the same crosshair in white (aiming at the ground)
Image paintParticles();    // particle1.png: 4 × 4 frames of a golden sparkle fading out, left to right, top row first
