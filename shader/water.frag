#version 430 core
// Owned by WaterShader: the water surface, drawn by Renderer::renderWater for WaterTile.

// Water: the reflection and refraction images, shifted by a du/dv map that drifts with moveFactor,
// mixed by a Fresnel term (more mirror at grazing angles), with sun and lamp highlights from a
// normal map. The refraction depth tells how deep the water is at each pixel, so the shore is clear
// and fades out softly instead of cutting the land with a hard edge.

// The graphics level may define WATER_DETAIL 0 before this line: one look-up of the wave map instead
// of two, its slope for the normal instead of the normal map, and the highlights summed without
// branches (which the software renderers run on both sides anyway).
#ifndef WATER_DETAIL
#define WATER_DETAIL 1
#endif

// Two slots, the sun and the lamp: a loop over a constant count is unrolled (see advanced_terrain.frag).
const int MAX_LIGHTS = 2;
const float waveStrength = 0.018;
const float shineDamper = 60.0;
const float reflectivity = 0.45;
const vec3 waterTint = vec3(0.10, 0.32, 0.38);
// The same exponential fog as the land, so the lake fades into the sky with the hills behind it.
const float fogDensity = 0.0035;
const float fogGradient = 1.5;

in vec4 clipSpace;
in vec2 mapCoords;
in vec3 toCamera;
in vec3 worldPosition;

out vec4 outColor;

uniform sampler2D reflectionTex;  // unit 0
uniform sampler2D refractionTex;  // unit 1
uniform sampler2D dudvMap;        // unit 2
uniform sampler2D normalMap;      // unit 3
uniform sampler2D depthMap;       // unit 4
uniform mat4 projectionMatrix;
uniform float moveFactor;
uniform vec3 lightPos[MAX_LIGHTS];
uniform vec3 lightColor[MAX_LIGHTS];
uniform vec3 attenuation[MAX_LIGHTS];
uniform int lightType[MAX_LIGHTS];
uniform int numberOfLights;
uniform vec3 skyColor;
uniform float brightnessFactor = 1.0;

// Distance from the camera along the view axis for a window-space depth, using the projection's
// own near and far planes.
float viewDistance(float depth) {
    float ndc = depth * 2.0 - 1.0;
    return projectionMatrix[3][2] / (ndc + projectionMatrix[2][2]);
}

void main() {
    vec2 ndc = (clipSpace.xy / clipSpace.w) * 0.5 + 0.5;
    vec2 refractCoords = ndc;
    // The reflection was drawn from the mirrored camera, so the image is upside down.
    vec2 reflectCoords = vec2(ndc.x, 1.0 - ndc.y);

    float floorDistance = viewDistance(texture(depthMap, refractCoords).r);
    float surfaceDistance = viewDistance(gl_FragCoord.z);
    float waterDepth = max(floorDistance - surfaceDistance, 0.0);
    float shallow = clamp(waterDepth / 4.0, 0.0, 1.0);

#if WATER_DETAIL >= 1
    // Two look-ups of the drifting map give waves without a visible scroll direction.
    vec2 distortedCoords = texture(dudvMap, vec2(mapCoords.x + moveFactor, mapCoords.y)).rg * 0.1;
    distortedCoords = mapCoords + vec2(distortedCoords.x, distortedCoords.y + moveFactor);
#else
    vec2 distortedCoords = mapCoords + vec2(0.7 * moveFactor, moveFactor);
#endif
    vec2 wave = texture(dudvMap, distortedCoords).rg * 2.0 - 1.0;
    vec2 distortion = wave * waveStrength * shallow;

    refractCoords = clamp(refractCoords + distortion, 0.001, 0.999);
    reflectCoords = clamp(reflectCoords + distortion, 0.001, 0.999);
    vec3 reflection = texture(reflectionTex, reflectCoords).rgb;
    vec3 refraction = texture(refractionTex, refractCoords).rgb;
    // Deeper water swallows more of the bottom's colour.
    refraction = mix(refraction, waterTint, clamp(waterDepth / 30.0, 0.0, 0.7));

#if WATER_DETAIL >= 1
    vec3 mapNormal = texture(normalMap, distortedCoords).rgb;
    vec3 unitNormal = normalize(vec3(mapNormal.r * 2.0 - 1.0, mapNormal.b * 3.0, mapNormal.g * 2.0 - 1.0));
#else
    // The wave map's slope stands in for the normal map.
    vec3 unitNormal = normalize(vec3(wave.x, 1.5, wave.y));
#endif

    vec3 viewVector = normalize(toCamera);
    float refractive = clamp(pow(max(dot(viewVector, vec3(0.0, 1.0, 0.0)), 0.0), 0.6), 0.0, 1.0);
    // Shallows show the bottom whatever the angle.
    refractive = mix(1.0, refractive, shallow);

    vec3 highlights = vec3(0.0);
    int lightCount = clamp(numberOfLights, 0, MAX_LIGHTS);
#if WATER_DETAIL < 1
    for (int i = 0; i < MAX_LIGHTS; i++) {
        float used = i < lightCount ? 1.0 : 0.0;
        vec3 offset = worldPosition - lightPos[i];
        float d = length(offset);
        vec3 a = attenuation[i];
        bool directional = lightType[i] == 1;
        vec3 fromLight = directional ? normalize(lightPos[i]) : offset / max(d, 1e-4);
        float falloff = directional ? 1.0 : 1.0 / max(a.x + a.y * d + a.z * d * d, 1e-4);
        float specular = pow(max(dot(reflect(fromLight, unitNormal), viewVector), 0.0), shineDamper);
        highlights += used * lightColor[i] * specular * reflectivity * falloff;
    }
#else
    for (int i = 0; i < MAX_LIGHTS; i++) {
        if (i >= lightCount) continue;
        vec3 fromLight;
        float falloff = 1.0;
        if (lightType[i] == 1) {
            fromLight = normalize(lightPos[i]);
        } else {
            vec3 offset = worldPosition - lightPos[i];
            float d = length(offset);
            fromLight = offset / max(d, 1e-4);
            vec3 a = attenuation[i];
            falloff = 1.0 / max(a.x + a.y * d + a.z * d * d, 1e-4);
        }
        vec3 reflected = reflect(fromLight, unitNormal);
        float specular = pow(max(dot(reflected, viewVector), 0.0), shineDamper);
        highlights += lightColor[i] * specular * reflectivity * falloff;
    }
#endif

    vec3 colour = mix(reflection, refraction, refractive);
    colour = mix(colour, waterTint, 0.12) + highlights * shallow;
    float visibility = clamp(exp(-pow(length(toCamera) * fogDensity, fogGradient)), 0.0, 1.0);
    colour = mix(skyColor, colour, visibility);
    outColor = vec4(colour * brightnessFactor, shallow);
}
