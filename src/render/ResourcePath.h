#pragma once

#include <string>

// The process's current directory without a trailing separator. Shader, model and texture paths are
// built by appending "/shader/...", "/res/models/..." or "/res/textures/..." to it. On failure the
// system's reason is printed to standard error and the result is empty.
std::string getCurrentWorkingDirectory();
