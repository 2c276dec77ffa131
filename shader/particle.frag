#version 430 core
// Owned by ParticleShader: the particle systems, drawn by Renderer::renderParticles.

// Particles: a cross-fade between two atlas frames, so the animation runs smoothly between frames.
// The atlas carries the glow in its alpha; blending (usually additive) does the rest.

in vec2 textureCoords1;
in vec2 textureCoords2;
in float blend;

out vec4 outColor;

uniform sampler2D particleTexture;  // texture unit 0

void main() {
    vec4 current = texture(particleTexture, textureCoords1);
    vec4 next = texture(particleTexture, textureCoords2);
    outColor = mix(current, next, blend);
}
