#include "menu/Menus.h"

#include "support/GlContext.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <glm/glm.hpp>
#include <gtest/gtest.h>

namespace {

class MenusTest : public testsupport::GlTest {};

// Every screen draws over the frame in the real context without a GL error and leaves the GL state
// the frame had; the loading bar fills as far as it is told.
TEST_F(MenusTest, EveryScreenDrawsWithoutGlErrorsAndLeavesTheFramesState) {
    GLFWwindow* window = testsupport::glWindow();
    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    while (glGetError() != GL_NO_ERROR) {}
    Menus menus(window, "res/hud_font.ttf");
    menus.drawLoading("Shaping the landscape", 0.5f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // Along the bar's row: gold up to half its length, dark after.
    const auto pixel = [](int x, int y) {
        unsigned char rgba[4] = {};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return glm::ivec3(rgba[0], rgba[1], rgba[2]);
    };
    const int barRow = height - 1 - static_cast<int>(height * 0.62f + 3.0f);
    const glm::ivec3 filled = pixel(width / 2 - 10, barRow), empty = pixel(width / 2 + 10, barRow);
    EXPECT_GT(filled.r, 200);
    EXPECT_GT(filled.g, 160);
    EXPECT_LT(empty.r, 80);

    MenuModel model;
    model.best = 31;
    model.rounds = {{31, 44, 1700000000}, {7, 60, 1700003600}};
    GLuint vao = 0;
    glGenVertexArrays(1, &vao);
    glUseProgram(0);
    glBindVertexArray(vao);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    for (const Menus::Screen screen : {Menus::Screen::Title, Menus::Screen::Options, Menus::Screen::Controls,
                                       Menus::Screen::Scores, Menus::Screen::Pause, Menus::Screen::None}) {
        menus.show(screen);
        EXPECT_EQ(menus.open(), screen != Menus::Screen::None);
        for (int frame = 0; frame < 2; ++frame) {
            const MenuRequests asked = menus.frame(model, {"[rabbit fires, left]", "[hit]"});
            EXPECT_FALSE(asked.play || asked.quit || asked.settingsChanged) << "nothing pressed";
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << static_cast<int>(screen);
        GLint bound = -1;
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &bound);
        EXPECT_EQ(bound, static_cast<GLint>(vao));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
    }
    // A screen drawn as it was last time reads as unchanged (the game's loop then draws nothing); a new
    // caption, another screen or nothing left to show do not.
    menus.show(Menus::Screen::Pause);
    const auto settle = [&](const std::vector<std::string>& captions) {
        for (int frame = 0; frame < 3; ++frame) menus.frame(model, captions);
        menus.prepare(model, captions);
        return menus.unchanged();
    };
    EXPECT_TRUE(settle({}));
    menus.prepare(model, {"[hit]"});
    EXPECT_FALSE(menus.unchanged());
    EXPECT_TRUE(settle({"[hit]"}));
    menus.prepare(model, {"[hop]"});
    EXPECT_FALSE(menus.unchanged()) << "another caption as long: only the letters' vertices differ";
    menus.prepare(model, {"[hit]"});
    menus.show(Menus::Screen::Options);
    menus.prepare(model, {"[hit]"});
    EXPECT_FALSE(menus.unchanged());
    EXPECT_TRUE(settle({"[hit]"}));
    menus.show(Menus::Screen::None);
    menus.prepare(model, {});
    EXPECT_FALSE(menus.unchanged()) << "the last frame's menu is still on the screen";
    // Back from the options and the controls goes where they were opened from; the pause menu's back resumes.
    menus.show(Menus::Screen::Pause);
    menus.show(Menus::Screen::Options);
    EXPECT_FALSE(menus.back());
    EXPECT_EQ(menus.screen(), Menus::Screen::Pause);
    EXPECT_TRUE(menus.back());
    glBindVertexArray(0);
    glDeleteVertexArrays(1, &vao);
}

}  // namespace
