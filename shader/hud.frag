#version 430 core
// Owned by HudShader: the HUD text, drawn by Hud.

// HUD text: ink of the row's colour (warm white for most) with a dark outline, so it reads over bright
// sand and sky as well as over dark jade and water. The outline is the glyph coverage spread by a ring
// of taps around the texel; the atlas leaves a transparent margin around every glyph for it. Built with
// HUD_SHAPES it draws the flat shapes instead, filled with their colour: a separate build because the
// software renderers run both sides of a branch, and a full-width flash would pay for nine look-ups.

in vec2 atlasCoords;
in vec4 tint;

out vec4 outColor;

uniform sampler2D text;  // red channel: glyph coverage

const vec3 outlineColor = vec3(0.06, 0.05, 0.04);
const float outlineRadius = 2.0;  // atlas texels
const float outlineOpacity = 0.9;
// Eight unit directions, 45 degrees apart.
const vec2 ring[8] = vec2[8](vec2(1.0, 0.0), vec2(0.7071, 0.7071), vec2(0.0, 1.0), vec2(-0.7071, 0.7071),
                             vec2(-1.0, 0.0), vec2(-0.7071, -0.7071), vec2(0.0, -1.0), vec2(0.7071, -0.7071));

void main() {
#ifdef HUD_SHAPES
    outColor = tint;
#else
    vec2 texel = 1.0 / vec2(textureSize(text, 0));
    float ink = texture(text, atlasCoords).r;

    float spread = 0.0;
    for (int i = 0; i < 8; ++i) {
        spread = max(spread, texture(text, atlasCoords + ring[i] * outlineRadius * texel).r);
    }
    float outline = spread * outlineOpacity;

    // Ink laid over the outline, then turned back into a straight (not premultiplied) colour for
    // source-alpha blending.
    float alpha = ink + outline * (1.0 - ink);
    if (alpha <= 0.0) discard;
    vec3 color = (tint.rgb * ink + outlineColor * outline * (1.0 - ink)) / alpha;
    outColor = vec4(color, alpha * tint.a);
#endif
}
