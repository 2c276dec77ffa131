#version 430 core
// Owned by SkyBoxShader: the sky box, drawn by SkyBox.

// Day sky blended towards night, faded into the fog colour at the horizon so that distant terrain,
// which fogs to the same colour, meets the sky without a seam.

in vec3 textureCoords;

out vec4 outColor;

uniform samplerCube cubeMap;   // unit 0: day
uniform samplerCube cubeMap2;  // unit 1: night
uniform vec3 fogColor;
uniform float blendFactor;     // 0 day, 1 night
uniform float brightnessFactor;

// Heights of the view direction (its sine of elevation) between which the fog gives way to the sky.
const float lowerLimit = 0.0;
const float upperLimit = 0.3;

void main() {
    vec3 direction = normalize(textureCoords);
    vec4 day = texture(cubeMap, direction);
    vec4 night = texture(cubeMap2, direction);
    vec4 sky = mix(day, night, blendFactor);

    float clearSky = clamp((direction.y - lowerLimit) / (upperLimit - lowerLimit), 0.0, 1.0);
    vec3 colour = mix(fogColor, sky.rgb, clearSky);
    outColor = vec4(colour * brightnessFactor, 1.0);
}
