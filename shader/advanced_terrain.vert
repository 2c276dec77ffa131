#version 430 core
// Owned by AdvancedTerrainShader: the landscape, drawn by Renderer::renderArray and renderChunks.

// The landscape: world-space inputs for triplanar texturing and lighting, the sun's shadow-map
// water passes' clip plane.

in vec3 position;
in vec3 normal;

out vec3 worldPosition;
out vec3 worldNormal;
out vec3 viewPosition;

uniform mat4 modelMatrix;
uniform mat4 viewMatrix;
uniform mat4 projectionMatrix;
uniform vec4 clipplane;

void main() {
    vec4 world = modelMatrix * vec4(position, 1.0);
    gl_ClipDistance[0] = dot(world, clipplane);

    vec4 view = viewMatrix * world;
    gl_Position = projectionMatrix * view;

    worldPosition = world.xyz;
    viewPosition = view.xyz;
    // The landscape is never scaled or sheared (its model matrix is the identity), so its normals
    // need no inverse transpose.
    worldNormal = mat3(modelMatrix) * normal;
}
