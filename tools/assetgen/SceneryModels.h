#pragma once

#include <string>

// waterTile.dae: one quad with corners (±1, ±1, 0), normal +z, texture coordinates 0 to 1.
void writeWaterTileModel(const std::string& path);
// skybox_test_small.dae: a cube seen from inside, 500 units to each face.
void writeSkyBoxModel(const std::string& path);
// grass.dae: a tuft of three crossed blade quads standing on z = 0, 1.3 units tall.
void writeGrassModel(const std::string& path);
