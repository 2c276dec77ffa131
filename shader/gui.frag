#version 430 core
// Owned by GuiShader: the overlay images (crosshair), drawn by Renderer::renderGui.

// Overlay images keep the texture's own colour and transparency.

in vec2 textureCoords;

out vec4 outColor;

uniform sampler2D guiTexture;  // texture unit 0

void main() {
    outColor = texture(guiTexture, textureCoords);
}
