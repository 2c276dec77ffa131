#version 430
// Owned by FountainSurfaceShader: the fountains' metaball surface, run by Renderer::renderFluid.

// Marching cubes over a fountain's density grid in two passes, so that the costly part runs on full
// SIMD bundles although few cells hold any surface. Each grid record holds the metaball field's
// gradient (xyz) and value (w); a corner whose value exceeds isoLevel is inside the liquid. Corners 0-3
// go round a cell's bottom face and corner i + 4 sits above corner i, the numbering the triangle table
// at binding 3 is written for. Cells are `stride` grid steps a side (1 near, coarser far away).
//
// Phase 0, one invocation per run of columnCells cells along z: a cell with surface reserves room for
// its triangles in the vertex count, lists each (cell, triangle of its table row) and counts a work
// group of phase 1 for every 64 triangles listed.
// Phase 1, one invocation per listed triangle, dispatched indirectly: writes its three vertices, six
// floats each (place in grid units, interpolated field gradient).

layout(local_size_x = 8, local_size_y = 4, local_size_z = 2) in;

layout(std430, binding = 9) readonly buffer Density { vec4 grid[]; };
layout(std430, binding = 3) readonly buffer TableBuffer { int triangulationTable[]; };  // 256 rows of 16
layout(std430, binding = 11) writeonly buffer Surface { float vertices[]; };
// glDrawArraysIndirect's command, then glDispatchComputeIndirect's for phase 1; the host sets them to
// (0, 1, 0, 0) and (0, 1, 1) before phase 0.
layout(std430, binding = 12) buffer Command {
    uint vertexCount;
    uint instanceCount;
    uint firstVertex;
    uint baseInstance;
    uint phaseGroups;
    uint phaseGroupsY;
    uint phaseGroupsZ;
};
// Per listed triangle: the cell's index (21 bits, enough for a grid of 128 points a side), its row in
// the table (8 bits) and the triangle's place in that row (3 bits).
layout(std430, binding = 13) buffer TriangleList { uint listed[]; };

uniform int phase;
uniform ivec3 dimensions;  // grid points per axis
uniform int stride;        // grid steps per cell edge
uniform uint capacity;     // vertices the surface buffer holds

const float isoLevel = 0.35;
const uint phaseGroupSize = 64u;  // invocations per work group of phase 1 (the whole local size)
const int columnCells = 8;  // phase 0 cells per invocation, along z (the renderer's kFluidColumnCells)

const ivec3 cornerOffsets[8] = ivec3[8](
    ivec3(0, 0, 0), ivec3(1, 0, 0), ivec3(1, 0, 1), ivec3(0, 0, 1),
    ivec3(0, 1, 0), ivec3(1, 1, 0), ivec3(1, 1, 1), ivec3(0, 1, 1));

const ivec2 edgeCorners[12] = ivec2[12](
    ivec2(0, 1), ivec2(1, 2), ivec2(2, 3), ivec2(3, 0),
    ivec2(4, 5), ivec2(5, 6), ivec2(6, 7), ivec2(7, 4),
    ivec2(0, 4), ivec2(1, 5), ivec2(2, 6), ivec2(3, 7));

// Grid point of a cell's corner; a coarse cell at the grid's far side is cut short at its last point.
ivec3 cornerPoint(ivec3 cell, int corner) { return min(cell + cornerOffsets[corner] * stride, dimensions - 1); }

vec4 gridAt(ivec3 p) { return grid[p.x + dimensions.x * p.y + dimensions.x * dimensions.y * p.z]; }

// The four corners of a cell face at depth z (x from lo to hi, y from lo to hi) against isoLevel:
// bit 0 (lo x, lo y), 1 (hi x, lo y), 2 (lo x, hi y), 3 (hi x, hi y).
int faceOf(ivec2 lo, ivec2 hi, int z) {
    int row = dimensions.x;
    int slice = dimensions.x * dimensions.y;
    int y0 = row * lo.y + slice * z, y1 = row * hi.y + slice * z;
    return int(grid[lo.x + y0].w > isoLevel) | int(grid[hi.x + y0].w > isoLevel) << 1 |
           int(grid[lo.x + y1].w > isoLevel) << 2 | int(grid[hi.x + y1].w > isoLevel) << 3;
}

// A cell's row number in the table (bit i: corner i is inside) from its near face (z lo) and its far
// face (z hi). The corners are read by their indices written out rather than through the offset table:
// the software renderer turns a looked-up offset into a gather per lane.
int configOfFaces(int near, int far) {
    return (near & 3) | (far & 2) << 1 | (far & 1) << 3 | (near & 12) << 2 | (far & 8) << 3 | (far & 4) << 5;
}

void listCell(ivec3 cell, int config) {
    // All in or all out: no surface, and no table look-up.
    if (config == 0 || config == 255) return;
    int row = config * 16;
    uint count = 0u;
    while (count < 5u && triangulationTable[row + int(count) * 3] != -1) ++count;
    if (count == 0u) return;
    uint first = atomicAdd(vertexCount, 3u * count) / 3u;
    uint cellIndex = uint(cell.x + dimensions.x * cell.y + dimensions.x * dimensions.y * cell.z);
    for (uint t = 0u; t < count; ++t) {
        // Triangles past the room of the surface buffer are left out (phase 1 cuts the count).
        if (3u * (first + t + 1u) > capacity) return;
        listed[first + t] = cellIndex << 11 | uint(config) << 3 | t;
        if ((first + t) % phaseGroupSize == 0u) atomicAdd(phaseGroups, 1u);
    }
}

void writeTriangle() {
    uint index = gl_WorkGroupID.x * phaseGroupSize + gl_LocalInvocationIndex;
    // The count phase 0 reached may pass the room of the buffer; every invocation cuts it alike.
    uint triangles = min(vertexCount, capacity) / 3u;
    if (index == 0u) vertexCount = triangles * 3u;
    if (index >= triangles) return;
    uint entry = listed[index];
    int cellIndex = int(entry >> 11);
    ivec3 cell = ivec3(cellIndex % dimensions.x, (cellIndex / dimensions.x) % dimensions.y,
                       cellIndex / (dimensions.x * dimensions.y));
    int row = int(entry >> 3 & 255u) * 16 + int(entry & 7u) * 3;
    for (int k = 0; k < 3; ++k) {
        ivec2 edge = edgeCorners[triangulationTable[row + k]];
        ivec3 pa = cornerPoint(cell, edge.x);
        ivec3 pb = cornerPoint(cell, edge.y);
        vec4 a = gridAt(pa);
        vec4 b = gridAt(pb);
        float t = clamp((isoLevel - a.w) / (b.w - a.w), 0.0, 1.0);
        vec3 position = mix(vec3(pa), vec3(pb), t);
        vec3 gradient = mix(a.xyz, b.xyz, t);
        uint at = (index * 3u + uint(k)) * 6u;
        vertices[at] = position.x;
        vertices[at + 1u] = position.y;
        vertices[at + 2u] = position.z;
        vertices[at + 3u] = gradient.x;
        vertices[at + 4u] = gradient.y;
        vertices[at + 5u] = gradient.z;
    }
}

void main() {
    if (phase == 0) {
        // A run of cells along z per invocation: fewer, fuller work groups.
        // Each cell's far face is the next one's near face: four corners read per cell, not eight.
        ivec3 first = ivec3(gl_GlobalInvocationID.xy, int(gl_GlobalInvocationID.z) * columnCells) * stride;
        if (any(greaterThanEqual(first.xy, dimensions.xy - 1))) return;
        ivec2 lo = first.xy;
        ivec2 hi = min(first.xy + stride, dimensions.xy - 1);
        int near = faceOf(lo, hi, first.z);
        for (int t = 0; t < columnCells; ++t) {
            int z = first.z + t * stride;
            if (z >= dimensions.z - 1) return;
            int far = faceOf(lo, hi, min(z + stride, dimensions.z - 1));
            listCell(ivec3(lo, z), configOfFaces(near, far));
            near = far;
        }
    } else {
        writeTriangle();
    }
}
