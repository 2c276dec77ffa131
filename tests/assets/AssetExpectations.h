#pragma once

#include <string>
#include <vector>

// What the game loads from res/, by the names and pixel sizes its loaders ask for. The build
// generates all of it; these tests read the result from the repository root.
namespace assetexpect {

struct TextureFile {
    std::string name;  // below res/textures
    int size;          // width and height in pixels
};

inline std::vector<TextureFile> textures() {
    std::vector<TextureFile> list = {
        {"pillow_512.png", 512},   {"cat_tail_256.png", 256},   {"cat_eyes_256.png", 256},
        {"cat_body_512.png", 512}, {"rabbit_eye_256.png", 256}, {"rabbit_body_512.png", 512},
        {"item_64.png", 64},       {"projectile_512.png", 512}, {"sand_tile_2048.png", 2048},
        {"Jade_2048.png", 2048},   {"grass_128.png", 128},      {"water/dudv.png", 512},
        {"water/normal.png", 512}, {"cursor_128.png", 128},     {"cursor_128_white.png", 128},
        {"particle1.png", 128},
    };
    for (const char* face : {"right", "left", "top", "bottom", "back", "front"})
        list.push_back({std::string("skybox/") + face + ".png", 1024});
    for (const char* face : {"nightRight", "nightLeft", "nightTop", "nightBottom", "nightBack", "nightFront"})
        list.push_back({std::string("skybox/") + face + ".png", 512});
    return list;
}

// Cube faces in the loader's order +X, -X, +Y, -Y, +Z, -Z.
inline std::vector<std::string> dayFaces() {
    return {"skybox/right.png",  "skybox/left.png", "skybox/top.png",
            "skybox/bottom.png", "skybox/back.png", "skybox/front.png"};
}
inline std::vector<std::string> nightFaces() {
    return {"skybox/nightRight.png",  "skybox/nightLeft.png", "skybox/nightTop.png",
            "skybox/nightBottom.png", "skybox/nightBack.png", "skybox/nightFront.png"};
}

inline std::vector<std::string> models() {
    return {"player_v3.dae",  "rabbit.dae",    "flying-rabbit.dae",     "diamond.dae",
            "Projectile.dae", "waterTile.dae", "skybox_test_small.dae", "grass.dae"};
}

}  // namespace assetexpect
