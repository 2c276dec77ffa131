#pragma once

#include "render/TexturedMesh.h"

#include <list>
#include <memory>
#include <unordered_map>

// The batched models of the scene: texture name -> the meshes drawn with it. Every list holds copies
// of one model part, drawn with the first mesh's vertex array and material.
using RenderMap = std::unordered_map<int, std::list<std::shared_ptr<TexturedMesh>>>;
