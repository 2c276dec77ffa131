#version 430 core
// Owned by DebugLineShader: the physics debug lines of BulletDebugDrawer.

// Debug lines show their own colour, unlit.

in vec3 lineColour;

out vec4 outColor;

void main() {
    outColor = vec4(lineColour, 1.0);
}
