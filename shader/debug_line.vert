#version 430 core
// Owned by DebugLineShader: the physics debug lines of BulletDebugDrawer.

// Physics debug lines: world-space end points, each with its colour. Whoever asks the physics world
// to debug-draw makes this program current and sets projectionViewMatrix; left unset, positions are
// taken as clip coordinates.

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 colour;

out vec3 lineColour;

uniform mat4 projectionViewMatrix = mat4(1.0);

void main() {
    gl_Position = projectionViewMatrix * vec4(position, 1.0);
    lineColour = colour;
}
