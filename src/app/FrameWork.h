#pragma once

// How much of a frame the session draws. Over a paused world with nothing fading ("still"), a menu
// that looks as it did needs no frame at all, and a menu that changed needs only itself drawn over
// the world's kept picture; anything else draws the whole frame.
enum class FrameWork {
    Nothing,       // the picture on the screen stays
    MenuOverKept,  // the kept picture of the world put back, the menus drawn over it
    Everything,    // the world drawn (and kept, when it is still under a menu), the menus over it
};

struct FrameState {
    bool menuOpen = false;
    bool menuUnchanged = false;  // the menus would draw exactly what they drew last
    bool worldStill = false;     // paused, no new world waiting, nothing on the HUD fading
    bool redrawAsked = false;    // the window lost its picture or changed size, or a request was handled
    bool worldChanged = false;   // an option changed how the world is drawn
};

FrameWork frameWork(const FrameState& state);
