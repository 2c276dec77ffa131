#pragma once

#include <string>

// Writes one picture with every texture below res/textures side by side (decoded by the game's own
// PNG loader), transparent parts over a checkerboard, each scaled into an equal tile.
void writeTextureSheet(const std::string& outPath);
