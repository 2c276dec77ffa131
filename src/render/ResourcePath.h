#pragma once

#include <string>

// The process's current directory without a trailing separator. On failure the system's reason is
// printed to standard error and the result is empty.
std::string getCurrentWorkingDirectory();

// The folder that shader, model, texture and font paths are built from, by appending "/shader/...",
// "/res/models/...", "/res/textures/..." or "/res/hud_font.ttf". It is the working directory unless
// the entry point found the game's data elsewhere and set it once at start-up.
std::string resourceRoot();
// Sets the folder resourceRoot() returns; an empty string goes back to the working directory.
void setResourceRoot(const std::string& directory);
