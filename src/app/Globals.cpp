#include "app/Globals.h"

Game* gameInstance = nullptr;
bool wireframe = false;
bool cullingEnabled = true;
bool showHudText = true;
bool showDiagnostics = false;
int culledObjectCount = 0;
