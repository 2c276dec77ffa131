#version 430 core
// Owned by BlobbyShader: the fountains' metaball surface, drawn by Renderer::renderFluid (not the landscape).

// The fountain's liquid: blue-green, lit by the sun's single uniforms with a tight highlight, a
// view-angle sheen towards the sky colour, then distance fog and the brightness factor.

in vec3 worldPosition;
in vec3 worldNormal;

out vec4 outColor;

uniform vec3 lightPos;     // directional: direction of travel; point: world position
uniform vec3 lightColor;
uniform vec3 attenuation;  // constant, linear, quadratic
uniform int lightType;     // 1 directional, 0 point
uniform vec3 toLightVec;
uniform float shineDamper;
uniform float reflectivity;
uniform vec3 skyColor;
uniform float brightnessFactor;
uniform mat4 viewMatrix;

const vec3 deepColor = vec3(0.12, 0.56, 0.64);
const vec3 shallowColor = vec3(0.42, 0.84, 0.80);
const float ambient = 0.45;
// The renderer passes a damper of 1, which would make the highlight as wide as the diffuse light;
// water needs a small, sharp one.
const float minShineDamper = 48.0;
// The same distance fog as the textured models.
const float fogDensity = 0.0035;
const float fogGradient = 1.5;

void main() {
    // Camera position from the view matrix, assuming it has no scale: -R^T * t.
    vec3 cameraPosition = -transpose(mat3(viewMatrix)) * viewMatrix[3].xyz;
    vec3 toCamera = cameraPosition - worldPosition;
    float visibility = clamp(exp(-pow(length(toCamera) * fogDensity, fogGradient)), 0.0, 1.0);
    vec3 unitNormal = normalize(worldNormal);
    vec3 unitToCamera = normalize(toCamera);
    // Both sides of the surface are drawn; light the side that faces the camera.
    if (dot(unitNormal, unitToCamera) < 0.0) unitNormal = -unitNormal;

    vec3 toLight;
    float falloff = 1.0;
    if (lightType == 1) {
        toLight = normalize(toLightVec);
    } else {
        vec3 offset = lightPos - worldPosition;
        float d = length(offset);
        toLight = offset / max(d, 1e-4);
        falloff = 1.0 / max(attenuation.x + attenuation.y * d + attenuation.z * d * d, 1e-4);
    }
    vec3 light = lightColor * falloff;

    float facing = max(dot(unitNormal, unitToCamera), 0.0);
    float diffuse = max(dot(unitNormal, toLight), 0.0);
    vec3 body = mix(shallowColor, deepColor, facing);
    vec3 color = body * (ambient + (1.0 - ambient) * diffuse * light);

    vec3 halfway = normalize(toLight + unitToCamera);
    float shine = diffuse > 0.0 ? pow(max(dot(unitNormal, halfway), 0.0), max(shineDamper, minShineDamper)) : 0.0;
    color += shine * reflectivity * light;
    // Grazing angles mirror the sky, as water does.
    float fresnel = pow(1.0 - facing, 4.0);
    color = mix(color, skyColor, 0.6 * fresnel);

    vec3 fogged = mix(skyColor, color, visibility);
    outColor = vec4(fogged * brightnessFactor, 1.0);
}
