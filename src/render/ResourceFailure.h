#pragma once

#include <string>

// The game cannot run without its shaders, models, textures, font and render targets, all made while it
// sets up: this says on standard error which one failed and why ("Cannot load model PATH: reason") and
// ends the program with exit status 1, before any round starts.
[[noreturn]] void refuseResource(const std::string& message);
