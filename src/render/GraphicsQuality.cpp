#include "render/GraphicsQuality.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

GraphicsQuality GraphicsQuality::forLevel(QualityLevel level, int configuredSamples) {
    GraphicsQuality q;
    q.level = level;
    switch (level) {
        case QualityLevel::High: q.samples = configuredSamples; break;
        case QualityLevel::Medium:
            q.renderScale = 0.75f;
            q.samples = 0;
            q.shadowMapSize = 2048;
            // One filtered shadow look-up and the landscape textured from the projection it faces
            // most: the same picture at this size, about an eighth of medium's frame on a software
            // renderer.
            q.shadowFilterRadius = 0;
            q.shadowBoxStep = 32;
            q.waterImageScale = 0.5f;
            q.skipHiddenWater = true;
            q.waterImagesInTurn = true;
            q.terrainDetail = 0;
            q.terrainChunks = true;
            q.clipUnderWater = true;
            q.skyLast = true;
            q.coarseModelDistance = 25.0f;
            q.coarseModelsInImages = true;
            q.shadowOutlineDistance = 15.0f;
            q.terrainLightFrom = 0.0f;
            q.terrainCoarseFrom = 150.0f;
            q.terrainCoarseInMirror = true;
            break;
        case QualityLevel::Low:
            // Medium's cuts and more.
            q = forLevel(QualityLevel::Medium, configuredSamples);
            q.level = level;
            q.renderScale = 0.5f;
            // The same 480 x 270 picture in any larger window: at 1920 x 1080 scaling it up alone takes
            // a software renderer about 4 ms, and a scene of 640 x 360 took such a frame past 18 ms.
            q.maxScenePixels = 480 * 270;
            q.smoothUpscale = false;
            q.shadowMapSize = 1024;
            q.terrainMipBlend = false;
            q.waterDetail = 0;
            q.terrainTextureHalvings = 1;
            q.skyFaceHalvings = 1;
            // Every model coarse, the cat too: in a scene of at most 480 x 270 pixels the coarse
            // versions look the same, and they spare a tenth of the scene's vertex work.
            q.coarseModelDistance = kAnyDistance;
            // 40 units away a creature is about six pixels of the scene across.
            q.outlineModelDistance = 40.0f;
            q.terrainCoarseFrom = 100.0f;
            // Cells of two grid steps: at most 480 x 270 pixels the liquid looks the same up close,
            // and marching and drawing it cost a third.
            q.fountainLeastStride = 2;
            break;
    }
    return q;
}

float GraphicsQuality::sceneScale(int windowWidth, int windowHeight) const {
    const double pixels = static_cast<double>(windowWidth) * static_cast<double>(windowHeight);
    if (maxScenePixels <= 0 || pixels <= 0.0) return renderScale;
    return std::min(renderScale, static_cast<float>(std::sqrt(maxScenePixels / pixels)));
}

std::string GraphicsQuality::terrainShaderDefines() const {
    return "#define TERRAIN_DETAIL " + std::to_string(terrainDetail) + "\n#define SHADOW_RADIUS " +
           std::to_string(shadowFilterRadius) + "\n";
}

std::string GraphicsQuality::waterShaderDefines() const {
    // The full water is the program's default, so the first program built is already right for it.
    return waterDetail >= 1 ? std::string() : "#define WATER_DETAIL " + std::to_string(waterDetail) + "\n";
}

QualityLevel GraphicsQuality::next(QualityLevel level) {
    switch (level) {
        case QualityLevel::Low: return QualityLevel::Medium;
        case QualityLevel::Medium: return QualityLevel::High;
        case QualityLevel::High: break;
    }
    return QualityLevel::Low;
}

const char* qualityName(QualityLevel level) {
    switch (level) {
        case QualityLevel::Low: return "low";
        case QualityLevel::Medium: return "medium";
        case QualityLevel::High: break;
    }
    return "high";
}

bool parseQualityLevel(const std::string& text, QualityLevel& level) {
    const std::string word = lowerCase(text);
    for (QualityLevel candidate : {QualityLevel::Low, QualityLevel::Medium, QualityLevel::High}) {
        if (word == qualityName(candidate)) {
            level = candidate;
            return true;
        }
    }
    return false;
}

bool parseQualitySetting(const std::string& text, std::optional<QualityLevel>& level) {
    QualityLevel parsed = QualityLevel::High;
    if (parseQualityLevel(text, parsed)) {
        level = parsed;
        return true;
    }
    if (lowerCase(text) != "auto") return false;
    level.reset();
    return true;
}

bool isSoftwareRenderer(const std::string& renderer) {
    static const char* const kSoftware[] = {
        "llvmpipe",          "softpipe",    "swiftshader",         "swrast", "software rasterizer",
        "software renderer", "gdi generic", "basic render driver",
    };
    const std::string name = lowerCase(renderer);
    return std::any_of(std::begin(kSoftware), std::end(kSoftware),
                       [&name](const char* word) { return name.find(word) != std::string::npos; });
}

QualityLevel automaticQualityLevel(const std::string& renderer) {
    return isSoftwareRenderer(renderer) ? QualityLevel::Low : QualityLevel::High;
}
