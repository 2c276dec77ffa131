#version 430 core
// Owned by TexturedShader: the textured models, drawn by Renderer::renderEntities.

// Per-pixel diffuse and Blinn-Phong specular over up to MAX_LIGHTS lights, with an ambient floor,
// alpha-tested texture, fog towards the sky colour and an overall brightness factor.

// Two slots, the sun and the lamp: a loop over a constant count is unrolled (see advanced_terrain.frag).
const int MAX_LIGHTS = 2;
const float ambient = 0.25;
// Materials with a damper of 1 (grass, diamonds) would otherwise get a highlight as wide as the
// diffuse light and wash out to white; below this exponent the highlight is narrowed instead.
const float minShineDamper = 16.0;

in vec2 passTextureCoords;
in vec3 worldPosition;
in vec3 worldNormal;
in vec3 toCamera;
in float visibility;

out vec4 outColor;

uniform sampler2D textureSampler;  // unit 0
uniform vec3 lightPos[MAX_LIGHTS];       // point: world position; directional: direction of travel
uniform vec3 lightColor[MAX_LIGHTS];
uniform vec3 attenuation[MAX_LIGHTS];    // constant, linear, quadratic
uniform int lightType[MAX_LIGHTS];       // 1 directional, 0 point
uniform int numberOfLights;
uniform float shineDamper;
uniform float reflectivity;
uniform vec3 skyColor;
uniform float brightnessFactor;

void main() {
    vec4 textureColor = texture(textureSampler, passTextureCoords);
    if (textureColor.a < 0.5) {
        discard;
    }

    vec3 unitNormal = normalize(worldNormal);
    vec3 unitToCamera = normalize(toCamera);
    float damper = max(shineDamper, minShineDamper);

    vec3 diffuse = vec3(0.0);
    vec3 specular = vec3(0.0);
    int lightCount = clamp(numberOfLights, 0, MAX_LIGHTS);
    for (int i = 0; i < MAX_LIGHTS; i++) {
        if (i >= lightCount) continue;
        vec3 toLight;
        float falloff = 1.0;
        if (lightType[i] == 1) {
            toLight = normalize(-lightPos[i]);
        } else {
            vec3 offset = lightPos[i] - worldPosition;
            float d = length(offset);
            toLight = offset / max(d, 1e-4);
            vec3 a = attenuation[i];
            falloff = 1.0 / max(a.x + a.y * d + a.z * d * d, 1e-4);
        }
        float brightness = max(dot(unitNormal, toLight), 0.0);
        diffuse += brightness * lightColor[i] * falloff;

        vec3 halfway = normalize(toLight + unitToCamera);
        float shine = brightness > 0.0 ? pow(max(dot(unitNormal, halfway), 0.0), damper) : 0.0;
        specular += shine * reflectivity * lightColor[i] * falloff;
    }
    diffuse = max(diffuse, vec3(ambient));

    vec4 lit = vec4(diffuse, 1.0) * textureColor + vec4(specular, 0.0);
    vec4 fogged = mix(vec4(skyColor, 1.0), lit, visibility);
    outColor = vec4(fogged.rgb * brightnessFactor, fogged.a);
}
