#version 430 core
// Owned by ShadowShader: the sun's shadow map, drawn by Renderer::renderShadowMap and ShadowMaster.

// Depth only. Model textures may be cut out (grass blades): where their alpha is under a half the
// textured program draws nothing, so nothing casts a shadow there either. The terrain and the
// frustum outline have no texture coordinates and leave "useAlpha" at 0.

in vec2 passTextureCoords;

uniform sampler2D modelTexture;  // unit 0
uniform int useAlpha;

void main() {
    if (useAlpha != 0 && texture(modelTexture, passTextureCoords).a < 0.5) {
        discard;
    }
}
