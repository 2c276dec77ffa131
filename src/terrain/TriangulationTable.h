#pragma once

// The classic marching-cubes triangle table and the cell numbering it is written for.
//
// Corners 0 to 3 go round the bottom face of a cell and corner i + 4 sits straight above corner i
// (y is up); `cornerOffsets` gives each corner's offset from the cell's lowest point. Edge e joins
// the two corners `edgeCorners[e]`. A row of `triangulationTable` is indexed by the cell's corner
// configuration (bit i set when corner i lies inside, i.e. denser than the iso level) and lists
// edge indices, three per triangle, followed by -1 up to 16 entries: at most 5 triangles, 820 over
// all rows.
//
// The GLSL marching-cubes pass and the fluid surface upload the table as 4096 ints, so its layout
// (256 rows of 16 ints, row-major) is fixed.

extern const int triangulationTable[256][16];
extern const int edgeCorners[12][2];
extern const int cornerOffsets[8][3];
