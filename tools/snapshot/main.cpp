// quillmarsh_snapshot: plays the game for a number of frames with scripted input and writes the last
// frame to a PNG, read straight from the framebuffer. Screen grabs of a software-rendered window can
// catch a frame half drawn; this cannot. Run from the repository root, under Xvfb if there is no
// display:
//   quillmarsh_snapshot OUT.png [--size WxH] [--frames N] [--seed S] [--pitch RAD] [--turn RAD]
//                               [--walk FRAMES] [--fire-every K] [--lift Y] [--game-over] [--lake]
//                               [--scores DIR] [--hit-from-behind FRAME]
// --scores DIR keeps the rounds in DIR's score file, so the round-end panel shows the best and last
// rounds. --hit-from-behind FRAME fires a rabbit's shot at the cat from behind at that frame.
// --lake first puts the cat on a shore facing open water (then --turn, --pitch and --lift apply).
// --look-back FRAME turns the cat round at that frame, so the camera looks back along its path.
// --jump FRAME holds space from that frame on (the cat jumps).
// --quality LEVEL draws with that graphics level (low, medium or high; default high) and --samples N
// with N samples per pixel where the level multisamples (default: the settings' default, 2).
// --step MS runs the game on a clock that advances MS milliseconds per frame (as if it ran at that
// rate) instead of the system clock, so trails and motion look as they would in real time.
// --fountain-grid N sets the fountains' grid resolution (world.blobby_object_v_count, 2 to 128).

#include "LakeView.h"
#include "menu/Settings.h"
#include "app/Windowing.h"
#include "entities/Player.h"
#include "game/Game.h"
#include "game/ScoreBook.h"
#include "scene/ObjectTags.h"
#include "scene/Random.h"
#include "world/World.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <btBulletDynamicsCommon.h>
#include <lodepng.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Options {
    std::string out;
    int width = 960;
    int height = 540;
    int frames = 30;
    unsigned seed = 0;  // 0: a fresh seed, as in the game
    float pitch = 0.0f;
    float turn = 0.0f;
    float lift = 0.0f;
    int walkFrames = 0;
    int fireEvery = 0;
    bool gameOver = false;
    bool lake = false;
    int stepMs = 0;
    int lookBackFrame = -1;
    int jumpFrame = -1;
    int fountainGrid = 0;  // 0: the default
    std::string scores;
    int hitFrame = -1;
    QualityLevel quality = QualityLevel::High;
    Settings settings;  // the defaults with the samples and fountain grid asked for
};

bool parse(int argc, char** argv, Options& o) {
    if (argc < 2) return false;
    o.out = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--game-over") {
            o.gameOver = true;
            continue;
        }
        if (a == "--lake") {
            o.lake = true;
            continue;
        }
        if (!next) return false;
        ++i;
        if (a == "--size") {
            if (std::sscanf(next, "%dx%d", &o.width, &o.height) != 2 || o.width <= 0 || o.height <= 0) return false;
        } else if (a == "--scores") {
            o.scores = next;
        } else if (a == "--hit-from-behind") {
            o.hitFrame = std::atoi(next);
        } else if (a == "--frames") {
            o.frames = std::atoi(next);
        } else if (a == "--seed") {
            o.seed = static_cast<unsigned>(std::strtoul(next, nullptr, 10));
        } else if (a == "--pitch") {
            o.pitch = std::strtof(next, nullptr);
        } else if (a == "--turn") {
            o.turn = std::strtof(next, nullptr);
        } else if (a == "--lift") {
            o.lift = std::strtof(next, nullptr);
        } else if (a == "--walk") {
            o.walkFrames = std::atoi(next);
        } else if (a == "--jump") {
            o.jumpFrame = std::atoi(next);
        } else if (a == "--look-back") {
            o.lookBackFrame = std::atoi(next);
        } else if (a == "--step") {
            o.stepMs = std::atoi(next);
            if (o.stepMs <= 0) return false;
        } else if (a == "--samples") {
            o.settings.samples = std::atoi(next);
        } else if (a == "--quality") {
            if (!parseQualityLevel(next, o.quality)) return false;
        } else if (a == "--fire-every") {
            o.fireEvery = std::atoi(next);
        } else if (a == "--fountain-grid") {
            o.fountainGrid = std::atoi(next);
            if (o.fountainGrid < 2 || o.fountainGrid > 128) return false;
        } else {
            return false;
        }
    }
    return o.frames > 0;
}

bool writeFramebuffer(const std::string& path, int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    std::vector<unsigned char> image(pixels.size());
    const size_t row = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y) std::memcpy(&image[y * row], &pixels[(height - 1 - y) * row], row);
    for (size_t i = 3; i < image.size(); i += 4) image[i] = 255;
    const unsigned error = lodepng::encode(path, image, width, height);
    if (error) std::cerr << "Could not write " << path << ": " << lodepng_error_text(error) << std::endl;
    return error == 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        std::cerr
            << "usage: " << argv[0]
            << " OUT.png [--size WxH] [--frames N] [--seed S] [--pitch RAD] [--turn RAD] [--walk FRAMES]"
               " [--fire-every K] [--lift Y] [--game-over] [--lake] [--step MS] [--look-back FRAME] [--jump FRAME]"
               " [--fountain-grid N] [--quality LEVEL] [--samples N] [--scores DIR] [--hit-from-behind FRAME]"
            << std::endl;
        return 2;
    }
    if (o.fountainGrid > 0) o.settings.blobbyObjectVCount = o.fountainGrid;
    if (!startGlfw()) return 1;
    GlWindowRequest request;
    request.size = {o.width, o.height};
    request.title = "quillmarsh snapshot";
    request.visible = false;
    WindowSize drawable;
    GLFWwindow* window = openGlWindow(request, drawable);
    if (!window) return 1;

    bool written = false;
    {
        int64_t fakeNow = 0;
        Game::Setup setup;
        setup.width = o.width;
        setup.height = o.height;
        setup.quality = graphicsQuality(o.quality, o.settings);
        setup.fountainGrid = o.settings.blobbyObjectVCount;
        setup.start.seed = o.seed != 0 ? o.seed : freshSeed();
        if (o.stepMs > 0) setup.clock = [&fakeNow] { return fakeNow; };
        Game game(setup);
        if (!o.scores.empty()) {
            auto book = std::make_shared<ScoreBook>(o.scores, std::cerr);
            book->load();
            game.setScoreBook(book);
        }
        game.stage([&o](World& world) {
            glm::vec3 at = world.player()->position;
            float yaw = world.player()->rotation.y;
            bool drop = false;
            if (o.lake) {
                const LakeView view = findLakeView(world.physics());
                if (view.found) {
                    at = view.shore + glm::vec3(0.0f, 1.0f, 0.0f);
                    yaw = std::atan2(-view.towardsWater.x, -view.towardsWater.y);
                    drop = true;
                } else {
                    std::cerr << "No shore with open water on this landscape" << std::endl;
                }
            }
            world.putCat(at, yaw, 0.0f, drop);
            world.putCat(world.player()->position + glm::vec3(0.0f, o.lift, 0.0f), yaw + o.turn, o.pitch, false);
            if (o.gameOver) world.runRoundClockTo(0);
        });

        Game::FrameInput input;
        input.keys.assign(kPlayerKeyCount, 0);
        for (int frame = 0; frame < o.frames; ++frame) {
            input.keys[kKeyW] = frame < o.walkFrames ? 1 : 0;
            input.keys[kKeySpace] = o.jumpFrame >= 0 && frame >= o.jumpFrame ? 1 : 0;
            if (o.fireEvery > 0 && frame % o.fireEvery == o.fireEvery - 1) game.fire();
            if (frame == o.hitFrame) {
                game.stage([](World& world) {
                    // From the eye's side of the cat, level with its chest.
                    const glm::vec3 chest = world.player()->position + glm::vec3(0.0f, 1.0f, 0.0f);
                    glm::vec3 behind = world.eye().position - chest;
                    behind = glm::normalize(glm::vec3(behind.x, 0.0f, behind.z));
                    world.fire(-behind * 4.0f, chest + behind * 3.0f, 1.5f, tags::kProjectile);
                });
            }
            if (frame == o.lookBackFrame) {
                game.stage([](World& world) {
                    const Player& cat = *world.player();
                    world.putCat(cat.position, cat.rotation.y + 3.1415927f, world.eye().rotation.x, false);
                });
            }
            fakeNow += int64_t(o.stepMs) * 1000000;
            game.frame(input);
            if (frame + 1 < o.frames) {
                glfwSwapBuffers(window);
                glfwPollEvents();
            }
        }
        written = writeFramebuffer(o.out, o.width, o.height);
    }
    closeGlWindow(window);
    return written ? 0 : 1;
}
