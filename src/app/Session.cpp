#include "app/Session.h"

#include "app/CursorOffset.h"
#include "app/FrameWork.h"
#include "app/GamepadMapping.h"
#include "app/LiveOptions.h"
#include "entities/PlayerKey.h"
#include "game/Game.h"
#include "game/ScoreBook.h"
#include "menu/Captions.h"
#include "menu/PlayerSettings.h"
#include "menu/SettingsText.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

namespace {

// How long a frame that draws nothing waits for an event: the pad is read, not told, so this is how
// late a press of it can be seen.
constexpr double kStillWait = 1.0 / 60.0;

// Cursor offset from the window centre in framebuffer pixels; the cursor is disabled and never
// recentred, so this is an absolute offset of the virtual cursor, not a per-frame delta.
glm::vec2 sampleCursor(GLFWwindow* window) {
    double x = 0.0, y = 0.0;
    int windowWidth = 0, windowHeight = 0, framebufferWidth = 0, framebufferHeight = 0;
    glfwGetCursorPos(window, &x, &y);
    glfwGetWindowSize(window, &windowWidth, &windowHeight);
    glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
    return cursorOffset(x, y, windowWidth, windowHeight, framebufferWidth, framebufferHeight);
}

// The held inputs of the PlayerKey actions, keys or mouse buttons as bound.
void sampleKeys(GLFWwindow* window, const Bindings& bindings, std::vector<int>& keys) {
    static const Action kHeld[kPlayerKeyCount] = {Action::Forward,   Action::TurnLeft, Action::Back,
                                                  Action::TurnRight, Action::Jump,     Action::Strafe};
    for (int key = 0; key < kPlayerKeyCount; ++key) {
        const int input = bindings.input(kHeld[key]);
        if (input == Bindings::kNone)
            keys[key] = 0;
        else if (input >= Bindings::kMouse)
            keys[key] = glfwGetMouseButton(window, input - Bindings::kMouse) == GLFW_PRESS;
        else
            keys[key] = glfwGetKey(window, input) == GLFW_PRESS;
    }
}

// The first pad GLFW knows a gamepad mapping for, read into `state`; null when none is plugged in.
const GLFWgamepadstate* readGamepad(GLFWgamepadstate& state) {
    for (int pad = GLFW_JOYSTICK_1; pad <= GLFW_JOYSTICK_LAST; ++pad) {
        if (glfwJoystickIsGamepad(pad) && glfwGetGamepadState(pad, &state)) return &state;
    }
    return nullptr;
}

// Frees or captures the cursor. The disabled cursor's position settles only with the events that
// follow the switch, so they are taken now: the next frame reads where it rests, not where it was.
void setCursorFree(GLFWwindow* window, bool free) {
    glfwSetInputMode(window, GLFW_CURSOR, free ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_DISABLED);
    glfwPollEvents();
}

bool fromPause(Menus::Screen screen) { return screen != Menus::Screen::None && screen != Menus::Screen::Title; }

}  // namespace

Session::Session(const Parts& sessionParts, const Settings& fileSettings, const Settings& playerSettings,
                 const Settings& inEffect)
    : parts(sessionParts),
      below(fileSettings),
      chosen(playerSettings),
      effective(inEffect),
      limiter(inEffect.fpsLimit),
      fullScreen(inEffect.fullscreen) {
    callbacks.game = parts.game;
    callbacks.settings = &effective;
    callbacks.menus = parts.menus;
    callbacks.toggleFullScreen = [this] { toggleFullScreen(); };
    callbacks.escapeToMenu = [this] { escape(); };
    callbacks.capture = [this](int input) { capture(input); };
    if (parts.captions) parts.captions->setEnabled(effective.captions);
}

MenuModel Session::model() const {
    MenuModel shown;
    shown.settings = effective;
    if (parts.scores) {
        shown.best = parts.scores->best();
        for (const ScoreBook::Round& round : parts.scores->recent())
            shown.rounds.push_back({round.score, round.seconds, static_cast<long long>(round.date)});
    }
    return shown;
}

void Session::change(const Settings& now) {
    applyOptions(effective, now, {parts.game, parts.window, &fullScreen, &limiter, parts.audio, parts.captions});
    chosen = changedLayer(chosen, effective, now);
    effective = now;
    unsaved = true;
}

void Session::save() {
    if (!unsaved || !parts.player) return;
    parts.player->save(chosen, below);
    unsaved = false;
}

void Session::toggleFullScreen() {
    Settings now = effective;
    now.fullscreen = !fullScreen.isOn();
    change(now);
    save();
}

void Session::escape() {
    Menus* menus = parts.menus;
    if (!menus) return;
    if (!menus->open()) {
        parts.game->pause().set(true);
        return;
    }
    if (menus->back()) parts.game->pause().set(false);
}

void Session::capture(int input) {
    if (!parts.menus) return;
    Settings now = effective;
    parts.menus->capture(input, now);
    if (!(now.bindings == effective.bindings)) change(now);
}

void Session::handle(const MenuRequests& asked) {
    Game& game = *parts.game;
    Menus& menus = *parts.menus;
    if (asked.play) {
        menus.show(Menus::Screen::None);
        game.pause().set(false);
    }
    if (asked.newWorld) {
        game.newWorld();
        menus.show(Menus::Screen::None);
        game.pause().set(false);
    }
    if (asked.quitToTitle) {
        game.newWorld();
        menus.show(Menus::Screen::Title);
    }
    if (asked.quit) glfwSetWindowShouldClose(parts.window, GLFW_TRUE);
}

// The pause menu follows the pause: P, the pad's Start or a lost focus open it; P or Start again
// close it with whatever screen of it shows.
void Session::followPause() {
    Menus* menus = parts.menus;
    if (!menus) return;
    const bool paused = parts.game->pause().paused();
    if (paused && !menus->open()) menus->show(Menus::Screen::Pause);
    if (!paused && fromPause(menus->screen())) menus->show(Menus::Screen::None);
}

void Session::run(bool title, const std::function<void()>& afterFrame) {
    Game& game = *parts.game;
    Menus* menus = parts.menus;
    if (title && menus) {
        game.pause().set(true);
        menus->show(Menus::Screen::Title);
        if (!effective.controlsSeen) {
            // The very first start shows the controls over the title, once.
            menus->show(Menus::Screen::Controls);
            Settings now = effective;
            now.controlsSeen = true;
            change(now);
            save();
        }
    }
    Game::FrameInput input;
    input.keys.assign(kPlayerKeyCount, 0);
    GamepadMapping pad;
    GLFWgamepadstate padState{};
    bool focused = glfwGetWindowAttrib(parts.window, GLFW_FOCUSED) == GLFW_TRUE;
    double lastPadRead = glfwGetTime();
    cursorFree = true;  // the cursor is as the window opened it: captured or freed at the first frame
    while (!glfwWindowShouldClose(parts.window)) {
        const bool inMenu = menus && menus->open();
        if ((game.pause().paused() || inMenu) != cursorFree) {
            // A paused game, or one under a menu, hands the cursor back to the desktop.
            cursorFree = !cursorFree;
            setCursorFree(parts.window, cursorFree);
        }
        game.setMenuShown(inMenu);
        input.cursor = sampleCursor(parts.window) + pad.look();
        sampleKeys(parts.window, effective.bindings, input.keys);
        pad.addHeldKeys(input.keys);
        heldOver.filter(input.keys, inMenu);
        MenuModel shown;
        MenuRequests asked;
        if (menus) {
            shown = model();
            asked = menus->prepare(shown, parts.captions ? parts.captions->shown() : std::vector<std::string>());
        }
        FrameState state;
        state.menuOpen = inMenu;
        state.menuUnchanged = menus && menus->unchanged();
        state.worldStill = game.pictureStill();
        state.redrawAsked = callbacks.redraw;
        state.worldChanged = worldChanged;
        const FrameWork work = frameWork(state);
        callbacks.redraw = worldChanged = false;
        if (work != FrameWork::Nothing) {
            int width = 0, height = 0;
            glfwGetFramebufferSize(parts.window, &width, &height);
            if (work == FrameWork::Everything || !menus || !canvas.menusOverKept(*menus, width, height)) {
                game.frame(input);
                if (menus) canvas.overWorld(*menus, inMenu && game.pictureStill(), width, height);
            }
            glfwSwapBuffers(parts.window);
        }
        if (menus) {
            if (asked.settingsChanged) change(shown.settings);
            handle(asked);
            // What the player asked for shows in the next frame (a level, a size, a new world).
            if (asked.play || asked.newWorld || asked.quitToTitle || asked.settingsChanged) callbacks.redraw = true;
            if (asked.settingsChanged) worldChanged = true;
            // Each finished change is kept at once (a slider when it is let go).
            if (!menus->editing()) save();
        }
        if (work != FrameWork::Nothing && afterFrame) afterFrame();
        // Nothing drawn: wait for the next event (or a sixtieth of a second, for the pad).
        if (work == FrameWork::Nothing)
            glfwWaitEventsTimeout(kStillWait);
        else
            glfwPollEvents();
        const double now = glfwGetTime();
        pad.update(readGamepad(padState), static_cast<float>(now - lastPadRead));
        lastPadRead = now;
        // The pad's presses, between two frames like the callbacks; under a menu only Start counts
        // (it resumes from the pause menu), and the menus take the rest.
        const Menus::Screen screen = menus ? menus->screen() : Menus::Screen::None;
        if (pad.pausePressed() && (screen == Menus::Screen::None || screen == Menus::Screen::Pause))
            game.pause().toggle();
        if (screen == Menus::Screen::None) {
            if (pad.newWorldPressed()) game.newWorld();
            if (pad.fired()) game.fire();
            if (pad.dashed()) game.dash();
        }
        // The focus is read once a frame rather than per event: a window manager (or the pointer grab
        // of a disabled cursor) may take it away and give it back within one event poll.
        if (focused != (glfwGetWindowAttrib(parts.window, GLFW_FOCUSED) == GLFW_TRUE)) {
            focused = !focused;
            game.pause().focusChanged(focused);
        }
        followPause();
        if (game.finished()) glfwSetWindowShouldClose(parts.window, GLFW_TRUE);
        glGetError();
        limiter.endFrame();
    }
    save();
}
