#version 430
// Owned by MetaFluidParticleShader: the fountains' particle step, run by MetaBallSolver.

// One step of a fountain's particles. Positions and velocities are kept in grid units, but every
// distance and speed of the motion is set in world units and scaled by pointsPerUnit, so a fountain
// looks the same at any grid resolution. Each kept or new particle takes its slot from the atomic
// counter, so the written set is compact; the counter is never left above maximumCount.
//
// Record meanings: position.w is the particle's metaball radius, velocity.w its remaining life in
// seconds. The radius eases towards a thin value in flight (the jet reads as streams) and a wide one
// on the floor (the landed particles melt into one pool), and shrinks over the last fraction of a
// second of life so particles fade instead of popping.
//
// Motion: the flow field is the force field (down inside the box, inward at the side walls, still on
// the floor), a soft repulsion between close particles spreads the pool that gathers on the floor,
// and the box walls stop what the flow field has not turned back.

layout(local_size_x = 256) in;

layout(std430, binding = 4) readonly buffer PositionsIn { vec4 positionsIn[]; };
layout(std430, binding = 6) readonly buffer VelocitiesIn { vec4 velocitiesIn[]; };
layout(std430, binding = 5) writeonly buffer PositionsOut { vec4 positionsOut[]; };
layout(std430, binding = 7) writeonly buffer VelocitiesOut { vec4 velocitiesOut[]; };
layout(std430, binding = 8) readonly buffer FlowField { vec4 flow[]; };
layout(binding = 1, offset = 0) uniform atomic_uint written;

uniform ivec3 dimensions;
uniform uint lastCount;
uniform uint maximumCount;
uniform float deltaT;
uniform uint spawnCount;
uniform vec3 spawnPos;
uniform vec3 spawnVel;
uniform float pointsPerUnit;  // grid points per world unit

// In world units (the fountain's box is one unit across) and seconds.
const float flowAcceleration = 0.35;  // the pull of gravity inside the box, per s²
const float jetRadius = 0.13;
const float poolRadius = 0.1625;
const float floorLevel = 0.175;       // lowest particle centre above the floor
const float wallMargin = 0.1;         // particles stay this far inside the side walls
const float repulsionRange = 0.1;
const float repulsionStrength = 1.0;  // per s²
const float spawnSpread = 0.00375;    // how far apart the particles of one step start, per particle
// Rates and times, the same at any resolution.
const float radiusRate = 3.0;         // 1/s, how fast the radius eases to its target
const float lifetime = 18.0;          // seconds: long enough for a pool to gather
const float fadeTime = 0.6;
const float floorFriction = 2.5;      // 1/s, horizontal damping while resting on the floor
const float airDrag = 1.0;            // 1/s, horizontal damping in flight: keeps the jet a column
const float basinPull = 1.2;          // 1/s², draws the pool towards the spring so it stays round
const float maxStep = 0.1;            // longer frames are integrated in pieces of this size at most

// A world-unit length or speed in grid units.
float grid(float world) { return world * pointsPerUnit; }

// Takes the next free output slot, or -1 when the buffers are full.
int claimSlot() {
    uint slot = atomicCounterIncrement(written);
    if (slot >= maximumCount) {
        atomicCounterDecrement(written);
        return -1;
    }
    return int(slot);
}

vec3 flowAt(vec3 p) {
    ivec3 cell = clamp(ivec3(floor(p)), ivec3(0), dimensions - 1);
    return flow[cell.x + dimensions.x * cell.y + dimensions.x * dimensions.y * cell.z].xyz;
}

// Pushes apart particles closer than repulsionRange, mostly sideways, so landed ones spread.
vec3 repulsion(uint self, vec3 p) {
    vec3 push = vec3(0.0);
    for (uint i = 0u; i < lastCount; ++i) {
        if (i == self) continue;
        vec3 d = p - positionsIn[i].xyz;
        float dist2 = dot(d, d);
        float range = grid(repulsionRange);
        if (dist2 >= range * range) continue;
        float dist = sqrt(dist2);
        // Exactly coincident particles part along a direction picked from their indices.
        vec3 away = dist > 1e-4 ? d / dist : normalize(vec3(float(self) - float(i), 0.1, float(i % 7u) - 3.0));
        push += away * (1.0 - dist / range);
    }
    return push * vec3(1.0, 0.35, 1.0) * grid(repulsionStrength);
}

void advance(inout vec3 p, inout vec3 v, float dt, vec3 push) {
    vec3 hi = vec3(dimensions - 1);
    vec3 lo = vec3(grid(wallMargin), grid(floorLevel), grid(wallMargin));
    vec3 top = hi - vec3(grid(wallMargin));
    v += (flowAt(p) * grid(flowAcceleration) + push) * dt;
    // Resting on the floor the flow field holds nothing up; the floor does.
    if (p.y <= lo.y + 0.01) {
        v.xz *= max(0.0, 1.0 - floorFriction * dt);
        v.xz -= (p.xz - 0.5 * vec2(dimensions.xz - 1)) * basinPull * dt;
        v.y = max(v.y, 0.0);
    } else {
        v.xz *= max(0.0, 1.0 - airDrag * dt);
    }
    p += v * dt;
    for (int axis = 0; axis < 3; ++axis) {
        if (p[axis] < lo[axis]) {
            p[axis] = lo[axis];
            // The floor stops a fall but lets a fresh particle leave the spring upwards.
            v[axis] = axis == 1 ? max(v[axis], 0.0) : abs(v[axis]) * 0.3;
        } else if (p[axis] > top[axis]) {
            p[axis] = top[axis];
            v[axis] = -abs(v[axis]) * 0.3;
        }
    }
}

float fade(float life) { return clamp(life / fadeTime, 0.0, 1.0); }

void store(vec3 p, vec3 v, float life, float radius) {
    int slot = claimSlot();
    if (slot < 0) return;
    positionsOut[slot] = vec4(p, radius * fade(life));
    velocitiesOut[slot] = vec4(v, life);
}

// A small per-particle spread so the particles of one step do not sit on top of each other.
vec3 jitter(uint n) {
    float a = float(n) * 2.39996;
    return vec3(cos(a), 0.0, sin(a)) * (grid(spawnSpread) * float(n));
}

void main() {
    uint id = gl_GlobalInvocationID.x;

    if (id < lastCount) {
        vec4 position = positionsIn[id];
        vec4 velocity = velocitiesIn[id];
        float life = velocity.w - deltaT;
        bool finite = !any(isnan(position.xyz)) && !any(isinf(position.xyz)) && !any(isnan(velocity.xyz));
        if (life > 0.0 && finite) {
            vec3 p = position.xyz;
            vec3 v = velocity.xyz;
            vec3 push = repulsion(id, p);
            int steps = int(ceil(max(deltaT, 0.0) / maxStep));
            float dt = steps > 0 ? deltaT / float(steps) : 0.0;
            for (int s = 0; s < steps; ++s) advance(p, v, dt, push);
            float oldFade = fade(velocity.w);
            float target = grid(p.y <= grid(floorLevel) + 0.01 ? poolRadius : jetRadius);
            float radius = oldFade > 0.05 ? position.w / oldFade : target;
            radius = mix(target, radius, exp(-radiusRate * max(deltaT, 0.0)));
            store(p, v, life, radius);
        }
    }

    // The first spare invocation emits this step's new particles; the dispatch always has one.
    if (id == lastCount) {
        uint count = min(spawnCount, maximumCount);
        for (uint n = 0u; n < count; ++n) {
            int slot = claimSlot();
            if (slot < 0) break;
            vec3 v = spawnVel + jitter(n) * 2.0;
            positionsOut[slot] = vec4(spawnPos + jitter(n), grid(jetRadius));
            velocitiesOut[slot] = vec4(v, lifetime);
        }
    }
}
