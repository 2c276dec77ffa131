#pragma once

#include "render/KeptPicture.h"

class Menus;

// What the screen holds under and with the menus while they stand over a paused world: the world's
// last picture and the whole frame last shown, so that a menu that changes (a slider dragged, the
// choice moved) is drawn again only where it changed, over the world put back there. Needs the current
// context; changes GL state only as the kept pictures and the menus' drawing restore it.
class MenuCanvas {
public:
    // Draws the menus' new frame over the kept pictures into the back buffer; false, drawing nothing,
    // when no world's picture is kept at this size (the world must be drawn, then overWorld()).
    bool menusOverKept(Menus& menus, int width, int height);
    // After the world was drawn into the back buffer: keeps its picture when it is `still` (paused and
    // looking the same until something changes), draws the menus over it and keeps the whole frame.
    void overWorld(Menus& menus, bool still, int width, int height);

private:
    KeptPicture world;  // the paused world's picture
    KeptPicture shown;  // the world and the menus as last drawn
};
