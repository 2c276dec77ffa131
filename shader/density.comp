#version 430
// Owned by DensityShader: the landscape's density grid, run by MarchingCubesHandler.

// Density of the landscape at every grid point: larger inside the ground, 8.0 on its surface.
//
// The land is a height field in world units (the terrain spreads the grid over MAP_SIZE units)
// made from fractal gradient noise: rolling land, a few hills, and low basins that the water plane
// at height 4 fills into lakes. A 3-D noise term bends the hill sides so that they overhang
// and, here and there, open into arches. The random octave offsets move each octave to another
// part of the noise, which is all that changes from one world to the next.
//
// Fixed limits the rest of the game relies on: the lowest layer of points is always ground (no
// holes to fall through), nothing is ground above CEILING, and the middle of the map, where the
// player drops in, is dry land of moderate height.

// Groups of 8 x 4 x 4 points keep llvmpipe's SIMD lanes full (8 consecutive x per bundle); the
// host dispatches enough groups to cover the grid and the bounds check drops the rest.
layout(local_size_x = 8, local_size_y = 4, local_size_z = 4) in;

layout(std430, binding = 0) writeonly buffer PointBuffer {
    vec4 points[];
};

// Eight tightly packed vec3 offsets, read as plain floats.
layout(std430, binding = 1) readonly buffer OffsetBuffer {
    float octaveOffsets[];
};

uniform int numPointsPerAxis;
uniform float boundsSize;  // noise units across the map
uniform vec3 centre;       // map point (in map fractions) at the noise origin
uniform vec3 offset;       // shift of the whole map in noise units
uniform float spacing;
uniform vec3 worldSize;
uniform vec4 params;       // overhang strength, lacunarity, persistence, shore shift
uniform int octaves;

// Heights are in world units.
const float ISO_LEVEL = 8.0;
const float MAP_SIZE = 800.0;       // world units across the grid
const float STIFFNESS = 6.25;       // world units of height per unit of density
const float CEILING = 94.0;         // nothing is ground above this (spawns drop from 99)
const float TERRAIN_TOP = 105.0;    // above this only the ceiling term is needed
const float BASIN_FLOOR = 1.5;      // lake beds: below the water at 4, above the lowest points
const float SHORE = -0.08;          // noise value of the water's edge, moved by params.w
const float BASE_FREQUENCY = 0.7;   // lowest octave's frequency, per noise unit
const float LAND_SLOPE = 120.0;     // height per unit of noise above the shore
const float HILL_START = 0.15;      // noise value above which hills rise faster
const float HILL_GAIN = 500.0;
const float HILL_TOP = 90.0;        // hills round off below this
const float OVERHANG_SIZE = 40.0;   // world units per unit of the 3-D noise
const float OVERHANG_GAIN = 1.8;    // times params.x, density units
const float OFFSET_SPREAD = 61.0;   // noise units an offset of 1 moves its octave

// ---- noise -------------------------------------------------------------------------------------

uint hash(uint x) {
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

uint hash(ivec2 p) {
    return hash(uint(p.x) * 0x8da6b343u ^ uint(p.y) * 0xd8163841u);
}

uint hash(ivec3 p) {
    return hash(uint(p.x) * 0x8da6b343u ^ uint(p.y) * 0xd8163841u ^ uint(p.z) * 0xcb1ab31fu);
}

const vec2 GRADIENTS_2D[8] = vec2[8](
    vec2(1.0, 0.0), vec2(-1.0, 0.0), vec2(0.0, 1.0), vec2(0.0, -1.0),
    vec2(0.7071, 0.7071), vec2(-0.7071, 0.7071), vec2(0.7071, -0.7071), vec2(-0.7071, -0.7071));

const vec3 GRADIENTS_3D[16] = vec3[16](
    vec3(1, 1, 0), vec3(-1, 1, 0), vec3(1, -1, 0), vec3(-1, -1, 0),
    vec3(1, 0, 1), vec3(-1, 0, 1), vec3(1, 0, -1), vec3(-1, 0, -1),
    vec3(0, 1, 1), vec3(0, -1, 1), vec3(0, 1, -1), vec3(0, -1, -1),
    vec3(1, 1, 0), vec3(-1, 1, 0), vec3(0, -1, 1), vec3(0, -1, -1));

float gradientDot(ivec2 cell, vec2 f) {
    return dot(GRADIENTS_2D[hash(cell) & 7u], f);
}

float gradientDot(ivec3 cell, vec3 f) {
    return dot(GRADIENTS_3D[hash(cell) & 15u], f);
}

// Gradient noise, roughly in [-0.7, 0.7], zero at lattice points.
float noise(vec2 p) {
    vec2 i = floor(p);
    vec2 f = p - i;
    vec2 u = f * f * f * (f * (f * 6.0 - 15.0) + 10.0);
    ivec2 c = ivec2(i);
    float a = gradientDot(c, f);
    float b = gradientDot(c + ivec2(1, 0), f - vec2(1.0, 0.0));
    float d = gradientDot(c + ivec2(0, 1), f - vec2(0.0, 1.0));
    float e = gradientDot(c + ivec2(1, 1), f - vec2(1.0, 1.0));
    return mix(mix(a, b, u.x), mix(d, e, u.x), u.y);
}

float noise(vec3 p) {
    vec3 i = floor(p);
    vec3 f = p - i;
    vec3 u = f * f * f * (f * (f * 6.0 - 15.0) + 10.0);
    ivec3 c = ivec3(i);
    float n000 = gradientDot(c, f);
    float n100 = gradientDot(c + ivec3(1, 0, 0), f - vec3(1, 0, 0));
    float n010 = gradientDot(c + ivec3(0, 1, 0), f - vec3(0, 1, 0));
    float n110 = gradientDot(c + ivec3(1, 1, 0), f - vec3(1, 1, 0));
    float n001 = gradientDot(c + ivec3(0, 0, 1), f - vec3(0, 0, 1));
    float n101 = gradientDot(c + ivec3(1, 0, 1), f - vec3(1, 0, 1));
    float n011 = gradientDot(c + ivec3(0, 1, 1), f - vec3(0, 1, 1));
    float n111 = gradientDot(c + ivec3(1, 1, 1), f - vec3(1, 1, 1));
    return mix(mix(mix(n000, n100, u.x), mix(n010, n110, u.x), u.y),
               mix(mix(n001, n101, u.x), mix(n011, n111, u.x), u.y), u.z);
}

vec3 octaveOffset(int octave) {
    int i = octave * 3;
    return vec3(octaveOffsets[i], octaveOffsets[i + 1], octaveOffsets[i + 2]) * OFFSET_SPREAD;
}

// Fractal sum over `count` octaves, normalised by the total amplitude.
float fractalNoise(vec2 p, int count) {
    float sum = 0.0;
    float amplitude = 1.0;
    float total = 0.0;
    float frequency = 1.0;
    for (int octave = 0; octave < count; ++octave) {
        sum += amplitude * noise(p * frequency + octaveOffset(octave).xz);
        total += amplitude;
        amplitude *= params.z;
        frequency *= params.y;
    }
    return total > 0.0 ? sum / total : 0.0;
}

// Up to two octaves of 3-D noise for the overhangs, placed by the offsets' unused y components.
float overhangNoise(vec3 p, int count) {
    vec3 shift = vec3(octaveOffset(0).y, octaveOffset(1).y, octaveOffset(2).y);
    float sum = 0.0;
    float amplitude = 1.0;
    for (int octave = 0; octave < count; ++octave) {
        sum += amplitude * noise(p + shift);
        p *= 2.03;
        shift = shift.zxy;
        amplitude *= 0.5;
    }
    return sum;
}

// ---- landscape ---------------------------------------------------------------------------------

// Ground height in world units over map position `uv` (0 ... 1 on x and z) with world position xz,
// summing `count` octaves.
float groundHeight(vec2 uv, vec2 xz, int count) {
    vec2 p = ((uv - centre.xz) * boundsSize + offset.xz) * BASE_FREQUENCY;
    // The fractal sum has a stable spread (about 0.14) over a map, whatever the offsets, so fixed
    // thresholds give a steady share of water: about a fifth of the map lies below the shore.
    float e = fractalNoise(p, count) - (SHORE + params.w);

    // Rolling land rises from just above the water; the upper tail of the noise becomes hills.
    float land = 6.0 + LAND_SLOPE * max(e, 0.0) + HILL_GAIN * pow(max(e - HILL_START, 0.0), 2.0);
    float h = mix(BASIN_FLOOR, land, smoothstep(-0.03, 0.01, e));

    // Hills round off towards HILL_TOP instead of being cut flat.
    if (h > 60.0) h = 60.0 + (HILL_TOP - 60.0) * (1.0 - exp(-(h - 60.0) / (HILL_TOP - 60.0)));

    // The middle of the map is kept dry and walkable for the player's drop.
    float nearCentre = 1.0 - smoothstep(60.0, 160.0, distance(xz, vec2(0.5 * MAP_SIZE)));
    return mix(h, clamp(h, 10.0, 60.0), nearCentre);
}

// llvmpipe runs both sides of a branch for a bundle of invocations but leaves a loop as soon as
// every invocation of the bundle is done, so the costly noises sit in loops whose trip count drops
// to zero where they are not needed: the empty sky, most of the grid, then costs next to nothing.
float density(vec3 world, vec2 uv) {
    float ceilingTerm = ISO_LEVEL + (CEILING - world.y) / STIFFNESS;
    bool sky = world.y > TERRAIN_TOP;

    float h = groundHeight(uv, world.xz, sky ? 0 : octaves);
    float d = ISO_LEVEL + (h - world.y) / STIFFNESS;

    // Overhangs only on the upper slopes of hills, never near the lake beds or the ceiling.
    float band = smoothstep(10.0, 28.0, world.y) * (1.0 - smoothstep(70.0, 90.0, world.y));
    float strength = sky ? 0.0 : band * smoothstep(25.0, 55.0, h);
    float overhang = overhangNoise(world / OVERHANG_SIZE, strength > 0.0 ? 2 : 0);
    d += params.x * OVERHANG_GAIN * strength * overhang;

    return sky ? ceilingTerm : min(d, ceilingTerm);
}

void main() {
    ivec3 id = ivec3(gl_GlobalInvocationID);
    if (any(greaterThanEqual(id, ivec3(numPointsPerAxis)))) return;

    vec3 coord = vec3(id);
    vec3 world = coord * (MAP_SIZE / worldSize);
    vec2 uv = coord.xz / worldSize.xz;
    int index = id.x + id.y * numPointsPerAxis + id.z * numPointsPerAxis * numPointsPerAxis;
    points[index] = vec4(coord * spacing, density(world, uv));
}
