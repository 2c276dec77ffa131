#version 430
// Owned by MarchingCubesShader: the landscape's triangles, run by MarchingCubesHandler (not the fountains).

// Marching cubes over a grid of countPerAxis³ points: one invocation per cell, appending the cell's
// triangles through an atomic counter. Corners 0-3 go round the cell's bottom face, corner i + 4
// sits above corner i; a corner denser than isoLevel is inside the ground and sets its bit in the
// table row. With this placement the table's edge order winds each triangle counter-clockwise seen
// from outside the ground.

// A block of cells per group keeps llvmpipe's SIMD lanes busy (8 consecutive x per bundle). The
// host dispatches enough groups to cover every cell that can hold a triangle; the bounds check
// drops the rest.
layout(local_size_x = 8, local_size_y = 4, local_size_z = 4) in;

struct Triangle {
    vec3 vertexA;
    vec3 vertexB;
    vec3 vertexC;
    vec3 normalA;
    vec3 normalB;
    vec3 normalC;
};

layout(std430, binding = 2) writeonly buffer TriangleBuffer {
    Triangle triangles[];
};

layout(std430, binding = 3) readonly buffer TableBuffer {
    int triangulationTable[];  // 256 rows of 16
};

layout(binding = 0, offset = 0) uniform atomic_uint triangleCount;

layout(std430, binding = 0) readonly buffer PointBuffer {
    vec4 points[];  // xyz position in grid units, w density
};

uniform int countPerAxis;
uniform float isoLevel;

const ivec3 cornerOffsets[8] = ivec3[8](
    ivec3(0, 0, 0), ivec3(1, 0, 0), ivec3(1, 0, 1), ivec3(0, 0, 1),
    ivec3(0, 1, 0), ivec3(1, 1, 0), ivec3(1, 1, 1), ivec3(0, 1, 1));

const ivec2 edgeCorners[12] = ivec2[12](
    ivec2(0, 1), ivec2(1, 2), ivec2(2, 3), ivec2(3, 0),
    ivec2(4, 5), ivec2(5, 6), ivec2(6, 7), ivec2(7, 4),
    ivec2(0, 4), ivec2(1, 5), ivec2(2, 6), ivec2(3, 7));

int pointIndex(ivec3 p) {
    return p.x + p.y * countPerAxis + p.z * countPerAxis * countPerAxis;
}

float densityAt(ivec3 p) {
    return points[pointIndex(clamp(p, ivec3(0), ivec3(countPerAxis - 1)))].w;
}

// Density gradient at a grid point by central differences, one-sided at the grid's border.
vec3 gradientAt(ivec3 p) {
    vec3 gradient;
    for (int axis = 0; axis < 3; ++axis) {
        ivec3 step = ivec3(0);
        step[axis] = 1;
        ivec3 lo = max(p - step, ivec3(0));
        ivec3 hi = min(p + step, ivec3(countPerAxis - 1));
        gradient[axis] = (densityAt(hi) - densityAt(lo)) / float(hi[axis] - lo[axis]);
    }
    return gradient;
}

struct EdgeVertex {
    vec3 position;
    vec3 gradient;
};

// Where the linearly interpolated density crosses isoLevel on the edge between two grid points.
// The points are taken in grid order so that neighbouring cells compute bit-identical vertices.
EdgeVertex edgeVertex(ivec3 a, ivec3 b) {
    if (pointIndex(a) > pointIndex(b)) {
        ivec3 swap = a;
        a = b;
        b = swap;
    }
    vec4 pa = points[pointIndex(a)];
    vec4 pb = points[pointIndex(b)];
    float t = (isoLevel - pa.w) / (pb.w - pa.w);
    EdgeVertex v;
    v.position = mix(pa.xyz, pb.xyz, t);
    v.gradient = mix(gradientAt(a), gradientAt(b), t);
    return v;
}

// Density grows into the ground, so the outward normal points down the gradient. A vanishing
// gradient (a flat plateau of density) falls back to the triangle's own facing.
vec3 outwardNormal(vec3 gradient, vec3 faceNormal) {
    float len = length(gradient);
    if (len > 1e-20) return -gradient / len;
    float faceLen = length(faceNormal);
    return faceLen > 0.0 ? faceNormal / faceLen : vec3(0.0, 1.0, 0.0);
}

void main() {
    ivec3 cell = ivec3(gl_GlobalInvocationID);
    if (any(greaterThanEqual(cell, ivec3(countPerAxis - 1)))) return;

    int config = 0;
    for (int corner = 0; corner < 8; ++corner) {
        if (points[pointIndex(cell + cornerOffsets[corner])].w > isoLevel) config |= 1 << corner;
    }

    // The work of a cell sits in the triangle loop: llvmpipe skips a loop that no invocation of a
    // bundle enters, while straight-line code runs for the bundle even where all have returned.
    int row = config * 16;
    for (int i = 0; i < 15 && triangulationTable[row + i] != -1; i += 3) {
        EdgeVertex v[3];
        for (int k = 0; k < 3; ++k) {
            ivec2 corners = edgeCorners[triangulationTable[row + i + k]];
            v[k] = edgeVertex(cell + cornerOffsets[corners.x], cell + cornerOffsets[corners.y]);
        }
        vec3 faceNormal = cross(v[1].position - v[0].position, v[2].position - v[0].position);

        uint index = atomicCounterIncrement(triangleCount);
        if (index >= uint(triangles.length())) continue;  // more than the host counted: drop it
        triangles[index].vertexA = v[0].position;
        triangles[index].vertexB = v[1].position;
        triangles[index].vertexC = v[2].position;
        triangles[index].normalA = outwardNormal(v[0].gradient, faceNormal);
        triangles[index].normalB = outwardNormal(v[1].gradient, faceNormal);
        triangles[index].normalC = outwardNormal(v[2].gradient, faceNormal);
    }
}
