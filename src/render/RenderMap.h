#pragma once

#include "render/TexturedMesh.h"

#include <list>
#include <memory>
#include <unordered_map>

// The batched models of the scene: texture name -> the meshes drawn with it. A list may hold parts of
// different models that share a texture (the rabbit's and the flying rabbit's bodies); all are drawn
// with the first mesh's material, each through its own vertex array.
using RenderMap = std::unordered_map<int, std::list<std::shared_ptr<TexturedMesh>>>;
