#pragma once

#include "Image.h"

// The terrain's layers (2048 × 2048, tiling seamlessly) and the grass card.
Image paintSand();   // sand_tile_2048.png: warm beach sand with soft wind ripples
Image paintJade();   // Jade_2048.png: green jade stone with cloudy light areas and dark veins
Image paintGrass();  // grass_128.png: blades on a transparent background
