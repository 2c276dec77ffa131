#version 430 core

// Particles: a cross-fade between two atlas frames, so the animation runs smoothly between frames.
// The atlas carries the glow in its alpha; blending (usually additive) does the rest.

in vec2 textureCoords1;
in vec2 textureCoords2;
in float blend;

out vec4 outColor;

uniform sampler2D particleTexture;  // texture unit 0

// The sparkles are small; a little extra glow keeps them visible over bright ground and water.
const vec4 glow = vec4(1.8, 1.6, 1.2, 1.4);

void main() {
    vec4 current = texture(particleTexture, textureCoords1);
    vec4 next = texture(particleTexture, textureCoords2);
    outColor = min(mix(current, next, blend) * glow, vec4(1.0));
}
