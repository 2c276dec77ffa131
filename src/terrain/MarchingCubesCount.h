#pragma once

#include <glm/glm.hpp>

#include <cstddef>
#include <vector>

// Host-side marching-cubes bookkeeping, no GL: which table row a cell uses and how many triangles a
// grid yields. The terrain sizes the GPU triangle buffer from this count instead of the worst case
// of five triangles in every cell, which for a 128-point grid would be close to a gigabyte.

// Table row of a cell from its eight corner densities in the table's corner order: bit i is set
// when corner i is denser than `isoLevel`, i.e. inside the ground.
int cellConfiguration(const float cornerDensities[8], float isoLevel);

// Number of triangles the table emits for configuration `config` (0 ... 255).
int trianglesInConfiguration(int config);

// Triangles the marching-cubes pass emits over a grid of n points per axis, point (x, y, z) at
// index x + y·n + z·n², density in w. Returns 0 when the grid does not hold n³ points. When
// `highestCellLayer` is given it receives the largest cell y holding a triangle (-1 for none), so
// the pass can skip the empty sky above the land.
std::size_t countTriangles(const std::vector<glm::vec4>& points, int n, float isoLevel,
                           int* highestCellLayer = nullptr);
