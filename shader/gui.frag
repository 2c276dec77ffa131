#version 430 core

// Overlay images keep the texture's own colour and transparency.

in vec2 textureCoords;

out vec4 outColor;

uniform sampler2D guiTexture;  // texture unit 0

void main() {
    outColor = texture(guiTexture, textureCoords);
}
