#pragma once

#include <string>

// player_v3.dae: meshes cushion, tail, eyes, body, in that order.
void writeCatModel(const std::string& path);
