#version 430 core
// Owned by BlobbyShader: the fountains' metaball surface, drawn by Renderer::renderFluid (not the landscape).

// One point per column of cells, one instance per layer: cell (i, j, k). The stage works out the
// cell's corner configuration, so the geometry stage can drop the many cells without surface at once
// (the vertex stage runs far wider on a CPU rasteriser, and few values cross to the next stage).
// Each grid record holds the metaball field's gradient (xyz) and value (w); a corner whose value
// exceeds isoLevel is inside the liquid.

in vec2 position;  // (i, k)

layout(std430, binding = 9) readonly buffer Density { vec4 grid[]; };

uniform ivec3 dimensions;

flat out ivec3 passCell;
flat out int passConfig;

const float isoLevel = 0.35;

const ivec3 cornerOffsets[8] = ivec3[8](
    ivec3(0, 0, 0), ivec3(1, 0, 0), ivec3(1, 0, 1), ivec3(0, 0, 1),
    ivec3(0, 1, 0), ivec3(1, 1, 0), ivec3(1, 1, 1), ivec3(0, 1, 1));

void main() {
    ivec3 cell = ivec3(int(position.x), gl_InstanceID, int(position.y));
    passCell = cell;
    gl_Position = vec4(0.0, 0.0, 0.0, 1.0);

    int config = 0;
    if (all(lessThan(cell, dimensions - 1)) && all(greaterThanEqual(cell, ivec3(0)))) {
        for (int c = 0; c < 8; ++c) {
            ivec3 p = cell + cornerOffsets[c];
            if (grid[p.x + dimensions.x * p.y + dimensions.x * dimensions.y * p.z].w > isoLevel) config |= 1 << c;
        }
    }
    passConfig = config;
}
