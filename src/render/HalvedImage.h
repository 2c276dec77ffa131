#pragma once

#include <string>
#include <vector>

// `pixels` (RGBA, `size` × `size`, rows top first) at half the size: each texel the mean of four.
std::vector<unsigned char> halveImage(const std::vector<unsigned char>& pixels, int size);

// The name of the copy of the square image `fileName` at half its size, which the asset generator
// writes beside the large ones ("sand_tile_2048.png": "sand_tile_2048.half.png"), so that a level
// drawing them at half size need not decode the whole image.
std::string halvedFileName(const std::string& fileName);
