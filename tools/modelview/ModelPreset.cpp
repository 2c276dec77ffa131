#include "ModelPreset.h"

#include <stdexcept>

namespace {

const float kPi = 3.14159265f;
// The turn the game gives every character mesh: z-up to y-up, then half a turn so -y faces -z.
const glm::vec3 kCharacterTurn(-kPi / 2, kPi, 0);
// The turn every other model mesh gets (z-up to y-up).
const glm::vec3 kModelTurn(-kPi / 2, 0, 0);

MeshLook character(const std::string& texture, int size, float shine, float reflect, glm::vec3 position = {}) {
    return {texture, size, shine, reflect, false, position, kCharacterTurn, glm::vec3(0.5f)};
}

}  // namespace

std::vector<std::string> presetNames() {
    return {"player_v3", "rabbit", "flying-rabbit", "diamond", "Projectile", "waterTile", "grass", "skybox_test_small"};
}

ModelPreset presetFor(const std::string& name) {
    // Views: behind as from the play camera, a three-quarter front view and one from the side.
    const std::vector<PreviewView> characterViews = {{0, 20, 5}, {215, 12, 3.2f}, {270, 4, 3.2f}};
    if (name == "player_v3") {
        glm::vec3 up(0, 1, 0);
        return {"player_v3.dae",
                {character("pillow_512.png", 512, 1, 0, up), character("cat_tail_256.png", 256, 1, 0, up),
                 character("cat_eyes_256.png", 256, 10, 1, up), character("cat_body_512.png", 512, 1, 0, up)},
                {0, 0.75f, 0},
                characterViews};
    }
    if (name == "rabbit")
        return {"rabbit.dae",
                {character("rabbit_eye_256.png", 256, 10, 1), character("rabbit_body_512.png", 512, 10, 0.01f)},
                {0, 0.65f, 0},
                {{0, 20, 4}, {200, 10, 2.8f}, {270, 4, 2.8f}}};
    if (name == "flying-rabbit") {
        MeshLook diamond{"carried_gem_64.png", 64, 10, 0.01f, false, {0, 1.5f, 0}, {0, 0, 0}, glm::vec3(1.0f / 15)};
        return {
            "flying-rabbit.dae",
            {diamond, character("rabbit_body_512.png", 512, 10, 0.01f), character("rabbit_eye_256.png", 256, 10, 1)},
            {0, 0.9f, 0},
            {{0, 20, 4.5f}, {200, 10, 3.4f}, {270, 4, 3.4f}}};
    }
    if (name == "diamond")
        return {"diamond.dae",
                {{"item_64.png", 64, 1, 1, false, {}, kModelTurn, glm::vec3(0.5f)}},
                {0, 0, 0},
                {{30, 25, 1.4f}, {100, 5, 1.4f}, {0, 70, 1.4f}}};
    if (name == "Projectile")
        return {"Projectile.dae",
                {{"projectile_512.png", 512, 1, 0, false, {}, kModelTurn, glm::vec3(0.1f)}},
                {0, 0, 0},
                {{0, 20, 0.45f}, {120, -10, 0.45f}, {240, 60, 0.45f}}};
    if (name == "waterTile")
        return {"waterTile.dae",
                {{"water/normal.png", 512, 1, 0, false, {}, kModelTurn, glm::vec3(2, 2, 1)}},
                {0, 0, 0},
                {{20, 45, 6}, {0, 89, 5}}};
    if (name == "grass")
        return {"grass.dae",
                {{"grass_128.png", 128, 1, 1, true, {0, -0.5f, 0}, kModelTurn, glm::vec3(1)}},
                {0, 0.35f, 0},
                {{0, 15, 2.2f}, {60, 35, 2.2f}, {0, 85, 2.2f}}};
    if (name == "skybox_test_small") {
        ModelPreset sky{"skybox_test_small.dae", {}, {0, 0, 0}, {{0, 10, 0}, {135, 35, 0}, {45, -30, 0}}};
        sky.sky = true;
        return sky;
    }
    throw std::runtime_error("no preview preset for " + name);
}
