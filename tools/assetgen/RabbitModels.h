#pragma once

#include <string>

// rabbit.dae: meshes eyes, body.
void writeRabbitModel(const std::string& path);
// flying-rabbit.dae: meshes diamond (y-up, re-posed by the game above the head), body with wings, eyes.
void writeFlyingRabbitModel(const std::string& path);
