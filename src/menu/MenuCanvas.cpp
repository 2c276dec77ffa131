#include "menu/MenuCanvas.h"

#include "menu/Menus.h"

#include <optional>

bool MenuCanvas::menusOverKept(Menus& menus, int width, int height) {
    if (!world.kept()) return false;
    const std::optional<PixelRect> part = menus.changes();
    if (part && shown.restore(width, height)) {
        if (!part->empty()) world.restore(width, height, *part);
        menus.draw(*part);
        if (!part->empty()) shown.keep(width, height, *part);
        return true;
    }
    if (!world.restore(width, height)) return false;
    menus.draw();
    shown.keep(width, height);
    return true;
}

void MenuCanvas::overWorld(Menus& menus, bool still, int width, int height) {
    if (still)
        world.keep(width, height);
    else
        world.forget();
    menus.draw();
    if (world.kept())
        shown.keep(width, height);
    else
        shown.forget();
}
