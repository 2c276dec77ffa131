#include "AssetCatalog.h"

#include "CatModel.h"
#include "CatTextures.h"
#include "IconTexture.h"
#include "ItemModels.h"
#include "ItemTextures.h"
#include "RabbitModels.h"
#include "RabbitTextures.h"
#include "SceneryModels.h"
#include "SkyTextures.h"
#include "TerrainTextures.h"
#include "UiTextures.h"
#include "WaterTextures.h"
#include "render/HalvedImage.h"

namespace {

Asset texture(const std::string& file, std::function<Image()> painter) {
    return {"textures/" + file, [painter](const std::string& fullPath) { painter().savePng(fullPath); }};
}

// A large square texture and, beside it, its copy at half the size (halvedFileName), halved as the
// game halves, for the levels that draw it so.
Asset halvedTexture(const std::string& file, std::function<Image()> painter) {
    return {"textures/" + file, [painter](const std::string& fullPath) {
                const Image image = painter();
                image.savePng(fullPath);
                const std::vector<unsigned char> half = halveImage(image.toRgba8(), image.width());
                Image::savePng(halvedFileName(fullPath), half, image.width() / 2, image.height() / 2);
            }};
}

Asset model(const std::string& file, void (*writer)(const std::string&)) { return {"models/" + file, writer}; }

}  // namespace

std::vector<Asset> assetCatalog() {
    // The biggest jobs first, so the worker threads finish together.
    std::vector<Asset> assets = {
        halvedTexture("sand_tile_2048.png", paintSand),
        halvedTexture("Jade_2048.png", paintJade),
    };
    const char* dayFaces[6] = {"right", "left", "top", "bottom", "back", "front"};
    const char* nightFaces[6] = {"nightRight", "nightLeft", "nightTop", "nightBottom", "nightBack", "nightFront"};
    for (int face = 0; face < 6; ++face)
        assets.push_back(
            halvedTexture(std::string("skybox/") + dayFaces[face] + ".png", [face] { return paintDaySkyFace(face); }));
    for (int face = 0; face < 6; ++face)
        assets.push_back(halvedTexture(std::string("skybox/") + nightFaces[face] + ".png",
                                       [face] { return paintNightSkyFace(face); }));
    std::vector<Asset> rest = {
        model("player_v3.dae", writeCatModel),
        model("rabbit.dae", writeRabbitModel),
        model("flying-rabbit.dae", writeFlyingRabbitModel),
        model("diamond.dae", writeDiamondModel),
        model("Projectile.dae", writeProjectileModel),
        model("waterTile.dae", writeWaterTileModel),
        model("skybox_test_small.dae", writeSkyBoxModel),
        model("grass.dae", writeGrassModel),
        texture("pillow_512.png", paintPillow),
        texture("cat_body_512.png", paintCatBody),
        texture("cat_tail_256.png", paintCatTail),
        texture("cat_eyes_256.png", paintCatEyes),
        texture("rabbit_body_512.png", paintRabbitBody),
        texture("rabbit_eye_256.png", paintRabbitEye),
        texture("item_64.png", paintItem),
        texture("carried_gem_64.png", paintCarriedGem),
        texture("projectile_512.png", paintProjectile),
        texture("grass_128.png", paintGrass),
        texture("water/dudv.png", paintWaterDudv),
        texture("water/normal.png", paintWaterNormal),
        texture("cursor_128.png", paintCursor),
        texture("cursor_128_white.png", paintCursorWhite),
        texture("particle1.png", paintParticles),
        {"icons/quillmarsh_256.png", [](const std::string& fullPath) { paintIcon().savePng(fullPath); }},
    };
    assets.insert(assets.end(), rest.begin(), rest.end());
    return assets;
}
