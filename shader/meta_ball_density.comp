#version 430
// Owned by MetaBallDensityShader: the fountains' density grid, run by MetaBallSolver.

// The metaball field of a fountain's particles at every grid point. Each record is the field's
// gradient (xyz) and value (w); the surface takes its normals straight from the gradient.
//
// The kernel (1 - r²/R²)³ has finite support R (the particle's radius, position.w), so each block of
// grid points first gathers, in shared memory, only the particles whose support reaches it.
// Points on the grid's outer faces are left empty so the surface always closes inside the box.
// A surface marched in cells of `stride` grid steps reads only the points at multiples of the stride
// and the last point of each axis: one invocation per such point, the others left as they were.

layout(local_size_x = 8, local_size_y = 8, local_size_z = 8) in;

layout(std430, binding = 4) readonly buffer Positions { vec4 positions[]; };
layout(std430, binding = 9) writeonly buffer Density { vec4 density[]; };

uniform int pointCount;
uniform ivec3 dimensions;
uniform int stride;  // grid steps between the points written

const int maxParticles = 300;
shared vec4 nearby[maxParticles];
shared uint nearbyCount;

void main() {
    if (gl_LocalInvocationIndex == 0u) nearbyCount = 0u;
    barrier();

    ivec3 firstInBlock = ivec3(gl_WorkGroupID * gl_WorkGroupSize) * stride;
    vec3 blockLo = vec3(min(firstInBlock, dimensions - 1));
    vec3 blockHi = vec3(min(firstInBlock + ivec3(gl_WorkGroupSize - 1u) * stride, dimensions - 1));
    int count = clamp(pointCount, 0, maxParticles);
    uint groupSize = gl_WorkGroupSize.x * gl_WorkGroupSize.y * gl_WorkGroupSize.z;
    for (uint i = gl_LocalInvocationIndex; i < uint(count); i += groupSize) {
        vec4 particle = positions[i];
        vec3 closest = clamp(particle.xyz, blockLo, blockHi);
        vec3 d = particle.xyz - closest;
        if (particle.w > 0.0 && dot(d, d) < particle.w * particle.w) {
            nearby[atomicAdd(nearbyCount, 1u)] = particle;
        }
    }
    barrier();

    // Past the last point the invocations of a stride have nothing to write.
    ivec3 along = ivec3(gl_GlobalInvocationID);
    if (any(greaterThan(along * stride, dimensions - 1 + stride - 1))) return;
    ivec3 point = min(along * stride, dimensions - 1);
    int index = point.x + dimensions.x * point.y + dimensions.x * dimensions.y * point.z;
    if (any(equal(point, ivec3(0))) || any(equal(point, dimensions - 1))) {
        density[index] = vec4(0.0);
        return;
    }

    vec3 p = vec3(point);
    float value = 0.0;
    vec3 gradient = vec3(0.0);
    uint n = nearbyCount;
    for (uint i = 0u; i < n; ++i) {
        vec4 particle = nearby[i];
        vec3 d = p - particle.xyz;
        float invR2 = 1.0 / (particle.w * particle.w);
        float q = dot(d, d) * invR2;
        if (q >= 1.0) continue;
        float f = 1.0 - q;
        value += f * f * f;
        gradient += (-6.0 * f * f * invR2) * d;
    }
    density[index] = vec4(gradient, value);
}
