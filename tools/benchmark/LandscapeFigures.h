#pragma once

#include <string>

class MarchingCubesHandler;

// What the game relies on in a generated landscape, measured per column of its grid: ground under the
// player's drop point, some lake below the water plane (4), nothing above the drop height (99) where
// items, enemies and grass start, rolling dry land and no holes in the floor.
std::string describeLandscape(const MarchingCubesHandler& handler, float gridScale);
