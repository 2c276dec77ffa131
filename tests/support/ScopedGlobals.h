#pragma once

#include "app/Globals.h"
#include "app/Settings.h"

namespace testsupport {

// Saves the process-wide switches, counters and settings and puts them back when it goes.
class ScopedGlobals {
public:
    ScopedGlobals();
    ~ScopedGlobals();

private:
    Game* game;
    bool switches[4];
    int culled;
    Settings saved;
};

}  // namespace testsupport
