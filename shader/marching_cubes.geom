#version 430 core
// Owned by BlobbyShader: the fountains' metaball surface, drawn by Renderer::renderFluid (not the landscape).

// Marching cubes for one cell of a fountain's density grid, given the corner configuration the
// vertex stage found. Each grid record holds the metaball field's gradient (xyz) and value (w). Corners 0-3 go round the cell's bottom face and corner i + 4
// sits above corner i, the numbering the triangle table at binding 3 is written for. Normals come
// from the interpolated field gradient.

layout(points) in;
layout(triangle_strip, max_vertices = 15) out;

layout(std430, binding = 9) readonly buffer Density { vec4 grid[]; };
layout(std430, binding = 3) readonly buffer TableBuffer { int triangulationTable[]; };  // 256 rows of 16

flat in ivec3 passCell[];
flat in int passConfig[];

// Few outputs per vertex: emitting is the costly part of this stage on a CPU rasteriser, so the
// fragment stage works out the view direction and fog itself.
out vec3 worldPosition;
out vec3 worldNormal;

uniform ivec3 dimensions;
uniform mat4 modelMatrix;
uniform mat4 viewMatrix;
uniform mat4 projectionMatrix;

const float isoLevel = 0.35;  // the vertex stage's

const vec3 cornerOffsets[8] = vec3[8](
    vec3(0, 0, 0), vec3(1, 0, 0), vec3(1, 0, 1), vec3(0, 0, 1),
    vec3(0, 1, 0), vec3(1, 1, 0), vec3(1, 1, 1), vec3(0, 1, 1));

const ivec2 edgeCorners[12] = ivec2[12](
    ivec2(0, 1), ivec2(1, 2), ivec2(2, 3), ivec2(3, 0),
    ivec2(4, 5), ivec2(5, 6), ivec2(6, 7), ivec2(7, 4),
    ivec2(0, 4), ivec2(1, 5), ivec2(2, 6), ivec2(3, 7));

void emit(vec3 gridPosition, vec3 gradient) {
    vec4 world = modelMatrix * vec4(gridPosition, 1.0);
    gl_Position = projectionMatrix * (viewMatrix * world);
    worldPosition = world.xyz;
    // The field grows towards the particles, so the outward normal points down the gradient.
    float len = length(gradient);
    worldNormal = mat3(modelMatrix) * (len > 1e-12 ? -gradient / len : vec3(0.0, 1.0, 0.0));
    EmitVertex();
}

void main() {
    int config = passConfig[0];
    // Cells wholly inside or outside the liquid (nearly all of them) hold no surface.
    if (config == 0 || config == 255) return;

    ivec3 cell = passCell[0];
    vec4 corners[8];
    for (int c = 0; c < 8; ++c) {
        ivec3 p = cell + ivec3(cornerOffsets[c]);
        corners[c] = grid[p.x + dimensions.x * p.y + dimensions.x * dimensions.y * p.z];
    }
    int row = config * 16;
    for (int i = 0; i < 15 && triangulationTable[row + i] != -1; i += 3) {
        for (int k = 0; k < 3; ++k) {
            ivec2 edge = edgeCorners[triangulationTable[row + i + k]];
            vec4 a = corners[edge.x];
            vec4 b = corners[edge.y];
            float t = clamp((isoLevel - a.w) / (b.w - a.w), 0.0, 1.0);
            emit(vec3(cell) + mix(cornerOffsets[edge.x], cornerOffsets[edge.y], t), mix(a.xyz, b.xyz, t));
        }
        EndPrimitive();
    }
}
