#include "menu/MenuCanvas.h"

#include "menu/Menus.h"
#include "support/GlContext.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

class MenuCanvasTest : public testsupport::GlTest {};

// A world's picture with edges, so that anything put back in the wrong place shows.
void drawWorld(int width, int height) {
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.8f, 0.2f, 0.1f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(width / 3, height / 4, width / 3, height / 2);
    glClearColor(0.1f, 0.3f, 0.9f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

// What a swap leaves in the back buffer is undefined: here something no frame shows.
void spoilBackBuffer() {
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

std::vector<unsigned char> windowPixels(int width, int height) {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// A slider moved over the paused world is drawn again only in its row, and the frame looks exactly
// as one drawn whole over the world; a menu that did not change puts the last frame back; nothing is
// put back at another size.
TEST_F(MenuCanvasTest, AChangedMenuIsDrawnOnlyWhereItChangedAndLooksDrawnWhole) {
    GLFWwindow* window = testsupport::glWindow();
    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    Menus menus(window, "res/hud_font.ttf");
    MenuModel model;
    menus.show(Menus::Screen::Options);
    MenuCanvas canvas;
    EXPECT_FALSE(canvas.menusOverKept(menus, width, height)) << "no world kept yet";
    drawWorld(width, height);
    menus.prepare(model, {});
    canvas.overWorld(menus, true, width, height);
    for (int frame = 0; frame < 3; ++frame) {
        spoilBackBuffer();
        menus.prepare(model, {});
        ASSERT_TRUE(canvas.menusOverKept(menus, width, height));
    }

    model.settings.look.sensitivity = 2.0f;
    spoilBackBuffer();
    menus.prepare(model, {});
    const std::optional<PixelRect> part = menus.changes();
    ASSERT_TRUE(part.has_value());
    EXPECT_FALSE(part->empty());
    EXPECT_LT(part->height, height / 4) << "the slider's row, not the panel";
    ASSERT_TRUE(canvas.menusOverKept(menus, width, height));
    const std::vector<unsigned char> redrawn = windowPixels(width, height);

    drawWorld(width, height);
    menus.prepare(model, {});
    EXPECT_TRUE(menus.unchanged());
    menus.draw();
    const std::vector<unsigned char> whole = windowPixels(width, height);
    EXPECT_TRUE(redrawn == whole) << "the frame drawn in part differs from the one drawn whole";

    spoilBackBuffer();
    menus.prepare(model, {});
    ASSERT_TRUE(menus.changes().has_value());
    EXPECT_TRUE(menus.changes()->empty());
    ASSERT_TRUE(canvas.menusOverKept(menus, width, height));
    EXPECT_TRUE(windowPixels(width, height) == whole) << "the last frame put back";

    menus.prepare(model, {});
    EXPECT_FALSE(canvas.menusOverKept(menus, width + 2, height));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
