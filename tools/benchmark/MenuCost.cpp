#include "MenuCost.h"

#include "game/Game.h"
#include "menu/MenuCanvas.h"
#include "menu/Menus.h"
#include "render/ResourcePath.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

}  // namespace

double measureMenuCost(GLFWwindow* window, unsigned seed, int frames) {
    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    Game::Setup setup;
    setup.width = width;
    setup.height = height;
    setup.quality = GraphicsQuality::forLevel(QualityLevel::Low, 0);
    setup.start.seed = seed;
    Game game(setup);
    Menus menus(window, resourceRoot() + "/res/hud_font.ttf");
    MenuModel model;
    model.rounds = {{12, 60, 1700000000}, {31, 44, 1700003600}, {7, 60, 1700007200}};
    model.best = 31;
    const std::vector<std::string> captions = {"[rabbit fires, left]", "[hit]", "[diamond]"};
    Game::FrameInput input;
    input.keys.assign(6, 0);
    double worst = 0.0;
    const std::pair<Menus::Screen, const char*> screens[] = {{Menus::Screen::None, "captions only"},
                                                             {Menus::Screen::Title, "title"},
                                                             {Menus::Screen::Pause, "pause menu"},
                                                             {Menus::Screen::Options, "options"}};
    for (const bool everyFrame : {false, true}) {
        for (const auto& [screen, name] : screens) {
            if (screen == Menus::Screen::None && everyFrame) continue;
            menus.show(screen);
            game.setMenuShown(screen != Menus::Screen::None);
            game.pause().set(screen != Menus::Screen::None);
            std::vector<double> times;
            for (int i = 0; i < frames; ++i) {
                glFinish();
                const auto start = std::chrono::steady_clock::now();
                // As the game's loop does: the menus first, then the frame unless nothing in it moved.
                menus.prepare(model, captions);
                const bool still = !everyFrame && i > 0 && menus.open() && menus.unchanged() && game.pictureStill();
                double world = 0.0;
                if (!still) {
                    const auto worldStart = std::chrono::steady_clock::now();
                    game.frame(input);
                    glFinish();
                    world = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - worldStart)
                                .count();
                    menus.draw();
                    glFinish();
                }
                times.push_back(
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() -
                    world);
                if (!still) glfwSwapBuffers(window);
                glfwPollEvents();
            }
            const double cost = median(times);
            worst = std::max(worst, cost);
            std::printf("menus over a low frame at %d x %d, %-13s %s median %.3f ms\n", width, height, name,
                        everyFrame ? "drawn every frame" : "as the game draws", cost);
        }
    }
    // A whole frame over the paused world while a slider is dragged on the options screen (it moves
    // every frame): the world drawn again, or, as the game's loop does, the kept pictures put back and
    // the menus drawn again where they changed; and the kept frame alone, the slider still.
    menus.show(Menus::Screen::Options);
    game.setMenuShown(true);
    game.pause().set(true);
    MenuCanvas canvas;
    const std::pair<int, const char*> ways[] = {{0, "the world drawn again"},
                                                {1, "the changed part drawn over the kept frame"},
                                                {2, "(the slider still: the kept frame put back)"}};
    for (const auto& [way, name] : ways) {
        std::vector<double> times;
        for (int i = 0; i < frames; ++i) {
            model.settings.look.sensitivity = way == 2 || i % 2 == 0 ? 1.0f : 2.0f;
            glFinish();
            const auto start = std::chrono::steady_clock::now();
            menus.prepare(model, captions);
            if (way == 0 || !canvas.menusOverKept(menus, width, height)) {
                game.frame(input);
                canvas.overWorld(menus, way != 0 && game.pictureStill(), width, height);
            }
            glFinish();
            times.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            glfwSwapBuffers(window);
            glfwPollEvents();
        }
        std::printf("a whole frame, a slider dragged in the options, %-43s median %.3f ms\n", name, median(times));
    }
    return worst;
}
