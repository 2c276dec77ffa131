#include "menu/Bindings.h"
#include "menu/Settings.h"

#include "support/TempDirectory.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

namespace {

// A binding another action holds is refused with that action's name, and so are the keys the game
// keeps; nothing changes then. Reset gives back the keys the game always had.
TEST(Bindings, AnInputDoesOneThingAndResetGivesBackTheGamesKeys) {
    Bindings keys;
    EXPECT_EQ(keys.action(GLFW_KEY_W), Action::Forward);
    EXPECT_EQ(keys.action(Bindings::kMouse + GLFW_MOUSE_BUTTON_LEFT), Action::Fire);
    EXPECT_EQ(keys.action(GLFW_KEY_P), Action::Pause);
    std::string refusal;
    EXPECT_FALSE(keys.bind(Action::Fire, GLFW_KEY_SPACE, refusal));
    EXPECT_EQ(refusal, "Space is already bound to Jump");
    EXPECT_EQ(keys.input(Action::Fire), Bindings::kMouse + GLFW_MOUSE_BUTTON_LEFT);
    EXPECT_FALSE(keys.bind(Action::Pause, GLFW_KEY_F11, refusal));
    EXPECT_EQ(refusal, "F11 is kept for full screen");
    EXPECT_FALSE(keys.bind(Action::Pause, GLFW_KEY_ESCAPE, refusal));
    EXPECT_TRUE(keys.bind(Action::Jump, GLFW_KEY_SPACE, refusal)) << "its own key again";

    EXPECT_TRUE(keys.bind(Action::Fire, GLFW_KEY_ENTER, refusal));
    EXPECT_TRUE(keys.bind(Action::Jump, Bindings::kMouse + GLFW_MOUSE_BUTTON_LEFT, refusal)) << "freed by Fire";
    EXPECT_EQ(keys.action(GLFW_KEY_ENTER), Action::Fire);
    EXPECT_FALSE(keys.action(GLFW_KEY_SPACE).has_value());
    keys.reset();
    EXPECT_TRUE(keys == Bindings());

    for (const int input : {int(GLFW_KEY_W), int(GLFW_KEY_LEFT_SHIFT), int(GLFW_KEY_F5), int(GLFW_KEY_KP_3),
                            Bindings::kMouse + GLFW_MOUSE_BUTTON_MIDDLE, Bindings::kMouse + GLFW_MOUSE_BUTTON_5})
        EXPECT_EQ(Bindings::parseInput(Bindings::inputName(input)), input) << Bindings::inputName(input);
    EXPECT_EQ(Bindings::parseInput("mouse right"), Bindings::kMouse + GLFW_MOUSE_BUTTON_RIGHT);
    EXPECT_FALSE(Bindings::parseInput("Hyper").has_value());
    EXPECT_FALSE(Bindings::parseInput("").has_value());
}

// [keys] in a settings file: names in any case, a key another action keeps or an unknown name named
// with the action's key, which keeps its own input.
TEST(Bindings, TheKeysSectionIsReadAndItsConflictsNamed) {
    testsupport::TempDirectory folder;
    testing::internal::CaptureStderr();
    const Settings s = readSettings(folder.writeText(
        "settings.ini", "[keys]\njump = mouse middle\nfire = e\ndash = Space\nlamp = Wobble\npause = Escape\n"));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(s.bindings.input(Action::Jump), Bindings::kMouse + GLFW_MOUSE_BUTTON_MIDDLE);
    EXPECT_EQ(s.bindings.input(Action::Fire), GLFW_KEY_E);
    EXPECT_EQ(s.bindings.input(Action::Lamp), GLFW_KEY_Q);
    EXPECT_EQ(s.bindings.input(Action::Pause), GLFW_KEY_P);
    EXPECT_NE(said.find("lamp = Wobble"), std::string::npos) << said;
    EXPECT_NE(said.find("pause = Escape"), std::string::npos) << said;
    EXPECT_NE(said.find("using Q instead"), std::string::npos) << said;
    // Space was free once jump moved, so the dash may have it.
    EXPECT_EQ(s.bindings.input(Action::Dash), GLFW_KEY_SPACE);

    testing::internal::CaptureStderr();
    const Settings clash =
        readSettings(folder.writeText("clash.ini", "[keys]\nforward = Up\nback = up\nnew_world = W\n"));
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(clash.bindings.input(Action::Forward), GLFW_KEY_UP);
    EXPECT_EQ(clash.bindings.input(Action::Back), GLFW_KEY_S);
    EXPECT_EQ(clash.bindings.input(Action::NewWorld), GLFW_KEY_W) << "W was given up by forward";
    EXPECT_NE(told.find("back = up in"), std::string::npos) << told;
    EXPECT_NE(told.find("Up is already bound to Walk forward"), std::string::npos) << told;
}

}  // namespace
