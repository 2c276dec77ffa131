#include "support/ScopedGlobals.h"

namespace testsupport {

ScopedGlobals::ScopedGlobals()
    : game(gameInstance),
      switches{wireframe, cullingEnabled, showHudText, showDiagnostics},
      culled(culledObjectCount),
      saved(settings) {}

ScopedGlobals::~ScopedGlobals() {
    gameInstance = game;
    wireframe = switches[0];
    cullingEnabled = switches[1];
    showHudText = switches[2];
    showDiagnostics = switches[3];
    culledObjectCount = culled;
    settings = saved;
}

}  // namespace testsupport
