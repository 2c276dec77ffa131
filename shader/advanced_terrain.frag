#version 430 core
// Owned by AdvancedTerrainShader: the landscape, drawn by Renderer::renderArray and renderChunks.

// Sand on low, level ground and jade on slopes and heights, both mapped triplanar so that cliffs do
// not smear; lit by the sun (shadowed through the shadow map) and the lamp; fogged towards the sky.

// The graphics level may define these before this line:
// TERRAIN_DETAIL 2: three projections of two layers of each material (12 look-ups); 1: three
// projections of one layer each (6); 0: the one projection the surface faces most, one layer each, the
// jade blended with the next where the two change places (3).
// SHADOW_RADIUS r: the sun is filtered over (2 r + 1)² shadow-map texels; at 0 one filtered compare.
// Below detail 2 the lights are also summed without branches and the shadow map is read once.
#ifndef TERRAIN_DETAIL
#define TERRAIN_DETAIL 2
#endif
#ifndef SHADOW_RADIUS
#define SHADOW_RADIUS 2
#endif

// The game lights every program with two slots, the sun and the lamp. A loop over this constant is
// unrolled, each slot's uniforms at a fixed place: on a software renderer the landscape's pixels cost
// a twentieth less than with a loop over the uniform count, which it cannot unroll.
const int MAX_LIGHTS = 2;
const float ambient = 0.3;

in vec3 worldPosition;
in vec3 worldNormal;
in vec3 viewPosition;

out vec4 outColor;

uniform sampler2DArray tex;         // unit 0: layers 0, 1 sand; 2, 3 jade
uniform sampler2DShadow shadowMap;  // unit 1: depth compare, 1 where the sun gets through
uniform mat4 toShadowMapSpace;
uniform int shadowMapSize;
uniform float shadowDistance;
uniform vec3 lightPos[MAX_LIGHTS];     // point: world position; directional: direction of travel
uniform vec3 lightColor[MAX_LIGHTS];
uniform vec3 attenuation[MAX_LIGHTS];  // constant, linear, quadratic
uniform int lightType[MAX_LIGHTS];     // 1 directional, 0 point
uniform int numberOfLights;
uniform vec3 skyColor;
uniform float brightnessFactor;

// Same fog as the models, so that they sink into the distance together. Worked out per fragment,
// like the shadow fade: terrain triangles can be long.
const float fogDensity = 0.0035;
const float fogGradient = 1.5;
// The shadow map only covers the view up to the shadow distance; shadows thin out over this last
// stretch instead of ending at a hard line.
const float shadowFadeLength = 20.0;
// One repeat every 10 units keeps the grain readable from just behind the cat. The second layer of
// each pair is laid larger and turned, and mixed in so that the repeats do not show as a grid.
const float detailScale = 1.0 / 10.0;
const float broadScale = 1.0 / 43.0;
const float broadShare = 0.35;
// Sand gives way to jade between these heights (the water lies at 4) and between these slopes
// (the y of the unit normal).
const float sandTop = 11.0;
const float jadeBottom = 16.0;
const float steepSlope = 0.72;
const float levelSlope = 0.88;
// Against self-shadowing the lookup starts a little above the surface, more so where the sun
// grazes it and its depth changes fast from one texel of the map to the next.
const float shadowLift = 0.15;
const float grazingLift = 0.6;
// Shadows also thin out over this margin at the edges of the map (in texture coordinates).
const float shadowEdgeMargin = 0.03;

vec4 triplanar(float layer, vec3 p, vec3 weights, float scale) {
    vec4 x = texture(tex, vec3(p.zy * scale, layer));
    vec4 y = texture(tex, vec3(p.xz * scale, layer));
    vec4 z = texture(tex, vec3(p.xy * scale, layer));
    return x * weights.x + y * weights.y + z * weights.z;
}

vec4 surface(float firstLayer, vec3 p, vec3 weights) {
    vec4 detail = triplanar(firstLayer, p, weights, detailScale);
#if TERRAIN_DETAIL >= 2
    vec3 turned = vec3(0.8 * p.x - 0.6 * p.z, p.y, 0.6 * p.x + 0.8 * p.z);
    vec4 broad = triplanar(firstLayer + 1.0, turned, weights, broadScale);
    return mix(detail, broad, broadShare);
#else
    return detail;
#endif
}

// Coordinates of `p` in the plane seen along `axis` (0: x, 1: y, 2: z), as triplanar() maps them.
vec2 planeFor(vec3 p, int axis) {
    return axis == 0 ? p.zy : (axis == 1 ? p.xz : p.xy);
}

// The lowest detail: the projection the surface faces most, the jade blended towards the runner-up
// near where the two change places (half and half right there), so no straight seam shows on slopes.
// The sand needs no blend: the projections change places only on slopes steeper than any sand lies
// on. Every look-up is made on every pixel, as the software renderers run both sides of a branch. The
// gradients come from the position itself, so they do not jump where the projection changes.
void facingSurface(vec3 p, vec3 n, out vec4 sand, out vec4 jade) {
    vec3 a = abs(n);
    int first = a.y >= max(a.x, a.z) ? 1 : (a.x > a.z ? 0 : 2);
    int second = first == 1 ? (a.x > a.z ? 0 : 2) : (a.y >= a[2 - first] ? 1 : 2 - first);
    // Eighth powers by squaring: pow() is a logarithm and an exponential on a software renderer.
    float w1 = a[first] * a[first];
    float w2 = a[second] * a[second];
    w1 *= w1;
    w2 *= w2;
    w1 *= w1;
    w2 *= w2;
    float share = 0.5 * smoothstep(0.2, 0.5, w2 / max(w1 + w2, 1e-6));
    vec3 dx = dFdx(p) * detailScale;
    vec3 dy = dFdy(p) * detailScale;
    vec2 uv = planeFor(p, first) * detailScale;
    sand = textureGrad(tex, vec3(uv, 0.0), planeFor(dx, first), planeFor(dy, first));
    jade = textureGrad(tex, vec3(uv, 2.0), planeFor(dx, first), planeFor(dy, first));
    vec4 nextJade = textureGrad(tex, vec3(planeFor(p, second) * detailScale, 2.0), planeFor(dx, second),
                                planeFor(dy, second));
    jade = mix(jade, nextJade, share);
}

float sandAmount(vec3 p, vec3 n) {
    // A gentle wobble keeps the shore line from following the contour exactly.
    float height = p.y + 1.5 * sin(p.x * 0.071) * sin(p.z * 0.053);
    float low = 1.0 - smoothstep(sandTop, jadeBottom, height);
    float level = smoothstep(steepSlope, levelSlope, n.y);
    return low * level;
}

// Share of sunlight reaching this point, which faces the sun at `cosine`: percentage-closer
// filtered over 5 x 5 texels, fading to full light towards the shadow distance and the map's edges.
float sunlight(vec3 p, vec3 n, float cosine, float distance) {
    float strength = clamp((shadowDistance - distance) / shadowFadeLength, 0.0, 1.0);
    if (strength <= 0.0 || cosine <= 0.0) return 1.0;
    vec4 lifted = vec4(p + n * (shadowLift + grazingLift * (1.0 - cosine)), 1.0);
    vec3 coords = (toShadowMapSpace * lifted).xyz;
    float edge = min(min(coords.x, 1.0 - coords.x), min(coords.y, 1.0 - coords.y));
    strength *= smoothstep(0.0, shadowEdgeMargin, edge);
    if (strength <= 0.0 || coords.z > 1.0) return 1.0;
    float texel = 1.0 / float(max(shadowMapSize, 1));
    float lit = 0.0;
    for (int x = -SHADOW_RADIUS; x <= SHADOW_RADIUS; x++) {
        for (int y = -SHADOW_RADIUS; y <= SHADOW_RADIUS; y++) {
            lit += textureLod(shadowMap, vec3(coords.xy + vec2(x, y) * texel, coords.z), 0.0);
        }
    }
    const float taps = float((2 * SHADOW_RADIUS + 1) * (2 * SHADOW_RADIUS + 1));
    return mix(1.0, lit / taps, strength);
}

void main() {
    vec3 n = normalize(worldNormal);
#if TERRAIN_DETAIL >= 1
    vec3 weights = pow(abs(n), vec3(4.0));
    weights /= max(weights.x + weights.y + weights.z, 1e-4);

    vec4 sand = surface(0.0, worldPosition, weights);
    vec4 jade = surface(2.0, worldPosition, weights);
#else
    vec4 sand;
    vec4 jade;
    facingSurface(worldPosition, n, sand, jade);
#endif
    vec4 albedo = mix(jade, sand, sandAmount(worldPosition, n));

    float distance = length(viewPosition);
    vec3 light = vec3(0.0);
    int lightCount = clamp(numberOfLights, 0, MAX_LIGHTS);
#if TERRAIN_DETAIL < 2
    // Without branches, which the software renderers run on both sides anyway, and with the one
    // shadow-map look-up made once for the (last) directional light instead of once per light.
    vec3 sunLight = vec3(0.0);
    float sunCosine = 0.0;
    for (int i = 0; i < MAX_LIGHTS; i++) {
        float used = i < lightCount ? 1.0 : 0.0;
        vec3 offset = lightPos[i] - worldPosition;
        float d = length(offset);
        vec3 a = attenuation[i];
        bool directional = lightType[i] == 1;
        vec3 toLight = directional ? normalize(-lightPos[i]) : offset / max(d, 1e-4);
        float cosine = dot(n, toLight);
        float falloff = directional ? 1.0 : 1.0 / max(a.x + a.y * d + a.z * d * d, 1e-4);
        vec3 contribution = used * max(cosine, 0.0) * lightColor[i] * falloff;
        light += directional ? vec3(0.0) : contribution;
        sunLight += directional ? contribution : vec3(0.0);
        sunCosine = directional && i < lightCount ? cosine : sunCosine;
    }
    light += sunLight * sunlight(worldPosition, n, sunCosine, distance);
#else
    for (int i = 0; i < MAX_LIGHTS; i++) {
        if (i >= lightCount) continue;
        vec3 toLight;
        float falloff = 1.0;
        if (lightType[i] == 1) {
            toLight = normalize(-lightPos[i]);
            falloff = sunlight(worldPosition, n, dot(n, toLight), distance);
        } else {
            vec3 offset = lightPos[i] - worldPosition;
            float d = length(offset);
            toLight = offset / max(d, 1e-4);
            vec3 a = attenuation[i];
            falloff = 1.0 / max(a.x + a.y * d + a.z * d * d, 1e-4);
        }
        light += max(dot(n, toLight), 0.0) * lightColor[i] * falloff;
    }
#endif
    vec3 lit = albedo.rgb * (ambient + (1.0 - ambient) * light);

    float visibility = clamp(exp(-pow(distance * fogDensity, fogGradient)), 0.0, 1.0);
    vec3 fogged = mix(skyColor, lit, visibility);
    outColor = vec4(fogged * brightnessFactor, 1.0);
}
