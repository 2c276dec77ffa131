#pragma once

#include <vector>

// A coarser triangle list for drawing a model far away: about a tenth of the triangles of `indices`
// (three per triangle) over the same vertices (`positions`: x, y, z triples), with no corner moved
// by more than a twentieth of the model's size. Empty when the model is too small to be worth it
// or nothing could be taken away.
std::vector<unsigned int> coarseIndices(const std::vector<unsigned int>& indices, const std::vector<float>& positions);

// An outline for the shadow map, which reads nothing but positions: `indices` with the corners that
// share a position welded (so that seams of the texture or the normals hold nothing back), simplified
// to about a fiftieth of the triangles with no corner moved by more than 8 % of the model's size.
// Empty where coarseIndices would be, or where nothing could be taken away.
std::vector<unsigned int> outlineIndices(const std::vector<unsigned int>& indices, const std::vector<float>& positions);
