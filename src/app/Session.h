#pragma once

#include "app/Callbacks.h"
#include "app/FrameLimiter.h"
#include "app/FullScreen.h"
#include "app/KeysHeldOver.h"
#include "menu/MenuCanvas.h"
#include "menu/Menus.h"
#include "menu/Settings.h"

#include <functional>
#include <memory>

struct GLFWwindow;
class Captions;
class Game;
class GameAudio;
class PlayerSettings;
class ScoreBook;

// The game around its rounds: the frame loop, the title, the pause menu over the frozen world (P, the
// pad's Start, losing the focus), the options applied at once and kept in the player's settings file,
// F11, and the captions.
class Session {
public:
    struct Parts {
        GLFWwindow* window = nullptr;
        Game* game = nullptr;
        Menus* menus = nullptr;  // null: no menus (the game pauses as it always did)
        Captions* captions = nullptr;
        GameAudio* audio = nullptr;
        std::shared_ptr<ScoreBook> scores;
        PlayerSettings* player = nullptr;  // null: choices are not kept
    };
    // The settings of the file the game read (`below`), with the player's file over them (`chosen`),
    // and with the command line over those (`effective`, in play).
    Session(const Parts& parts, const Settings& below, const Settings& chosen, const Settings& effective);

    // The title first when `title` (and the controls over it at the very first start), then frames
    // until the window closes. `afterFrame` is called after each frame is shown.
    void run(bool title, const std::function<void()>& afterFrame = {});

    // What the window's callbacks reach (set it as the window's user pointer).
    CallbackTarget& target() { return callbacks; }
    const Settings& settings() const { return effective; }
    // F11 and the options' full screen.
    void toggleFullScreen();

private:
    void frame();
    void followPause();
    void handle(const MenuRequests& asked);
    void change(const Settings& now);
    void save();
    void escape();
    void capture(int input);
    MenuModel model() const;

    Parts parts;
    Settings below;
    Settings chosen;
    Settings effective;
    FrameLimiter limiter;
    FullScreen fullScreen;
    CallbackTarget callbacks;
    bool unsaved = false;
    bool cursorFree = false;
    KeysHeldOver heldOver;
    MenuCanvas canvas;          // the frozen world's last picture and the menus over it, while a menu is open
    bool worldChanged = false;  // an option changed: the frozen world is drawn again, not put back
};
