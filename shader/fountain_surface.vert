#version 430 core
// Owned by BlobbyShader: the fountains' metaball surface, drawn by Renderer::renderFluid (not the landscape).

// The vertices fountain_surface.comp wrote (six floats each: place in grid units, field gradient),
// read by number; the draw has no vertex attributes.

layout(std430, binding = 11) readonly buffer Surface { float vertices[]; };

out vec3 worldPosition;
out vec3 worldNormal;

uniform mat4 modelMatrix;
uniform mat4 viewMatrix;
uniform mat4 projectionMatrix;

void main() {
    int at = gl_VertexID * 6;
    vec3 gridPosition = vec3(vertices[at], vertices[at + 1], vertices[at + 2]);
    vec3 gradient = vec3(vertices[at + 3], vertices[at + 4], vertices[at + 5]);
    vec4 world = modelMatrix * vec4(gridPosition, 1.0);
    gl_Position = projectionMatrix * (viewMatrix * world);
    worldPosition = world.xyz;
    // The field grows towards the particles, so the outward normal points down the gradient.
    float len = length(gradient);
    worldNormal = mat3(modelMatrix) * (len > 1e-12 ? -gradient / len : vec3(0.0, 1.0, 0.0));
}
