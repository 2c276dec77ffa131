#pragma once

#include <optional>
#include <string>

enum class QualityLevel { Low, Medium, High };

// What one graphics level draws, as plain values handed to the renderer, the shadow pass, the
// water and the terrain. `high` is the full look; the lower levels trade detail for speed on
// machines without a GPU, where every pixel and every vertex is work for the CPU.
struct GraphicsQuality {
    QualityLevel level = QualityLevel::High;
    // The 3D scene is drawn at this fraction of the window and scaled up; HUD and crosshair stay sharp.
    float renderScale = 1.0f;
    // If above 0, the scene gets no more pixels than this, whatever the window's size: software
    // renderers spend their time per pixel. The render_scale of the settings lifts it.
    int maxScenePixels = 0;
    // The scaled scene is filtered (linear) rather than its pixels repeated; they are repeated only
    // where the window is a whole multiple of the scene.
    bool smoothUpscale = true;
    // Multisampling of the scene (0: none).
    int samples = 2;
    // Side of the square shadow map in texels.
    int shadowMapSize = 4096;
    // Shadow look-ups filter over (2 r + 1)² texels; at 0 one hardware-filtered compare.
    int shadowFilterRadius = 2;
    // The shadow box moves in steps of this many texels rather than one, so that it stands still
    // while the cat walks a little; the landscape's depth is then drawn once and reused until it
    // moves. 0 redraws everything every frame.
    int shadowBoxStep = 0;
    // 0: the water images have their fixed sizes (640 × 360 and 1280 × 720); otherwise both are
    // this fraction of the scene target.
    float waterImageScale = 0.0f;
    // Skip the water images while no water pixel was drawn in the last frame.
    bool skipHiddenWater = false;
    // After a frame that drew both water images, each frame draws at most one of them in turn, and
    // none while the camera stands still (see WaterImageSchedule).
    bool waterImagesInTurn = false;
    // Texture look-ups of the landscape: 2 three projections of two layers of each material, 1 three
    // projections of one layer, 0 the one projection the surface faces most.
    int terrainDetail = 2;
    // The landscape drawn from its chunks (shared corners; only what a pass can see, nearest
    // first) rather than as one array of separate triangles.
    bool terrainChunks = false;
    // The landscape's textures blend two mipmap levels (trilinear); otherwise they read the nearest.
    bool terrainMipBlend = true;
    // How often the landscape's 2048² images are halved when loaded (1: 1024², a quarter of the memory).
    int terrainTextureHalvings = 0;
    // The same for the faces of the sky (1: 512² by day).
    int skyFaceHalvings = 0;
    // Texture look-ups of the water surface: 1 two of the wave map, 0 one (see water.frag).
    int waterDetail = 1;
    // Above the water, the main image leaves out the landscape deeper than the water hides anyway.
    bool clipUnderWater = false;
    // The sky goes in after the opaque geometry, so it is only shaded where nothing covers it.
    bool skyLast = false;
    // Models with a coarser version (the creatures and the shots) use it beyond this distance in the
    // main image; 0 never, kAnyDistance always.
    static constexpr float kAnyDistance = 1e-3f;
    float coarseModelDistance = 0.0f;
    // And at any distance in the shadow map and the water images.
    bool coarseModelsInImages = false;
    // Models farther than this from the eye cast their shadows from their outlines (Mesh::outlineCount):
    // the same shadows within a texel of the map, for a third of the coarse versions' vertices. Nearer,
    // a texel of the map covers several pixels and a lost corner of an outline could show. 0 never.
    float shadowOutlineDistance = 0.0f;
    // Models farther than this are drawn from their outlines in the main image and the water images
    // too: a few pixels across, where the seams the outline welds cannot show. 0 never.
    float outlineModelDistance = 0.0f;
    // The landscape's chunks are drawn from their lightly simplified triangles from this distance
    // (eye to the chunk's nearest point, world units) and from their strongly simplified ones from
    // the second, in the main image and the water images; negative: never. The shadow map keeps
    // every triangle: a simplified slope facing away from the sun may cover a lit one.
    float terrainLightFrom = -1.0f;
    float terrainCoarseFrom = -1.0f;
    // The water's mirror image draws the strongly simplified triangles at any distance: the waves
    // blur it. (The see-through image keeps the main image's: the water reads the lake bed's depth
    // from it, and a coarser bed would move the soft edge along the shore.)
    bool terrainCoarseInMirror = false;
    // The fountains' surface is marched in cells of at least this many grid steps a side.
    int fountainLeastStride = 1;

    // The scale the scene is drawn at in a window of this size (renderScale within maxScenePixels).
    float sceneScale(int windowWidth, int windowHeight) const;

    // The lines the landscape's program is compiled with for this level.
    std::string terrainShaderDefines() const;
    // And the water's.
    std::string waterShaderDefines() const;

    // The knobs of `level`; `configuredSamples` is the multisampling of the settings, used by `high`.
    static GraphicsQuality forLevel(QualityLevel level, int configuredSamples);
    // The next level up, wrapping from high to low (the key that cycles the level while playing).
    static QualityLevel next(QualityLevel level);
};

// "low", "medium" or "high".
const char* qualityName(QualityLevel level);
// Parses "low", "medium" or "high" in any letter case; false for anything else.
bool parseQualityLevel(const std::string& text, QualityLevel& level);
// Parses a quality setting: a level as parseQualityLevel does, or "auto" in any letter case, which
// leaves `level` empty (the renderer decides). False for anything else, `level` untouched.
bool parseQualitySetting(const std::string& text, std::optional<QualityLevel>& level);
// True when a GL_RENDERER string names a software rasteriser (llvmpipe, softpipe, SwiftShader, the
// Windows GDI renderer and the like).
bool isSoftwareRenderer(const std::string& renderer);
// The level `auto` stands for on this renderer: low on a software rasteriser, high otherwise.
QualityLevel automaticQualityLevel(const std::string& renderer);
