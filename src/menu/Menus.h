#pragma once

#include "menu/DrawnMenu.h"
#include "menu/Settings.h"
#include "render/PixelRect.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

struct GLFWwindow;
struct ImFont;

// What the menus show and let a player change; the entry point fills it and acts on what comes back.
struct MenuModel {
    Settings settings;  // the options as they are in effect; the options screen edits them
    struct Round {
        int score = 0;
        int seconds = 0;
        long long date = 0;  // seconds since the epoch
    };
    int best = 0;
    std::deque<Round> rounds;  // oldest first
};

// What the player asked for in one frame of the menus.
struct MenuRequests {
    bool play = false;         // the title's Play, or the pause menu's Resume
    bool newWorld = false;     // the pause menu's New world
    bool quitToTitle = false;  // back to the title with a fresh world
    bool quit = false;
    bool settingsChanged = false;  // an option changed (in model.settings): apply it now
};

// The title with its loading bar, the pause menu, the options, the controls and the best scores,
// drawn with Dear ImGui over whatever the frame drew, in the HUD's font and colours. They work with
// the mouse, the keyboard (arrows, Enter, space) and the pad (D-pad or left stick, A, B). The menus
// install no GLFW callbacks: the entry point's callbacks pass every event on (key(), mouseButton()
// ...) and give the game only what no menu takes.
class Menus {
public:
    enum class Screen { None, Title, Pause, Options, Controls, Scores };

    // Needs the window's context current. `fontPath` is the HUD's font.
    Menus(GLFWwindow* window, const std::string& fontPath);
    ~Menus();
    Menus(const Menus&) = delete;
    Menus& operator=(const Menus&) = delete;

    // A whole frame of the loading screen: the title, `step` and a bar `done` (0 to 1) full, on a
    // clear background. Changes GL state only as ImGui's renderer restores it (the clear colour stays).
    void drawLoading(const std::string& step, float done);
    // One frame of the screen showing (or only the captions, with no screen), drawn over the frame:
    // prepare() then draw().
    MenuRequests frame(MenuModel& model, const std::vector<std::string>& captions);
    // One frame of the menus without drawing it: what the player asked for, and the picture to draw.
    MenuRequests prepare(MenuModel& model, const std::vector<std::string>& captions);
    // Draws what prepare() made over the frame (nothing when there was nothing to show). Changes GL
    // state only as ImGui's renderer restores it.
    void draw();
    // The same within `only` (framebuffer pixels): over a picture that holds the last frame drawn
    // everywhere else, and the picture under it within `only`.
    void draw(const PixelRect& only);
    // What prepare() made is exactly what the last draw() drew: over a picture that has not changed
    // either, the frame on the screen can stay.
    bool unchanged() const { return madeFrame ? made == drawn : !drawn.held(); }
    // Where what prepare() made differs from what the last draw() drew (empty: nowhere); none when
    // it may differ anywhere.
    std::optional<PixelRect> changes() const;

    Screen screen() const { return current; }
    bool open() const { return current != Screen::None; }
    // A widget is held (a slider being dragged): its change is not finished yet.
    bool editing() const { return editingNow; }
    void show(Screen screen);
    // Escape with "Escape opens the menu": a screen goes back to the one it came from (the pause
    // menu resumes, which the caller does when this returns true).
    bool back();
    // Whether the next key or mouse button is to be bound (the options wait for one).
    bool capturing() const { return captureAction >= 0; }
    // The key or button to bind (Bindings' input code); says why when it is refused.
    void capture(int input, Settings& settings);
    void stopCapture() { captureAction = -1; }

    // The window's events, passed on from the entry point's callbacks.
    void key(int key, int scancode, int action, int mods);
    void mouseButton(int button, int action, int mods);
    void character(unsigned int codepoint);
    void scroll(double dx, double dy);
    void focus(bool focused);
    void cursorEnter(bool entered);

    // Text shown on the title and pause menus about Escape.
    static const char* escapeHint(bool escapeOpensMenu);

private:
    void begin();
    void end();
    // draw() within `only`, or everywhere without it.
    void drawWithin(const PixelRect* only);
    void readPad();
    void panel(const char* id, float width);
    bool button(const char* label);
    void title(MenuModel& model, MenuRequests& asked);
    void pause(MenuModel& model, MenuRequests& asked);
    void options(MenuModel& model, MenuRequests& asked);
    void bindings(MenuModel& model, MenuRequests& asked);
    void controls(const MenuModel& model);
    void scores(const MenuModel& model);
    void captionsBox(const std::vector<std::string>& captions);

    GLFWwindow* window;
    ImFont* text = nullptr;
    ImFont* large = nullptr;
    float fontPixels = 16.0f;
    Screen current = Screen::None;
    Screen previous = Screen::None;  // where Back goes from options and controls
    bool focusFirst = false;         // a screen just opened: the keyboard and pad start on its first item
    bool editingNow = false;
    int captureAction = -1;
    std::string refusal;
    // Keys pressed since the last frame, and releases held over until a frame has seen them down.
    struct HeldKey {
        int key, scancode, mods;
    };
    std::vector<int> pressedThisFrame;
    std::vector<HeldKey> heldOver;
    // The vertices, indices and commands of the frame prepare() made and of the one last drawn.
    bool madeFrame = false;
    DrawnMenu made;
    DrawnMenu drawn;
};
