#pragma once

#include <functional>
#include <string>
#include <vector>

// Every file the generator writes, by its path below res/ ("models/rabbit.dae",
// "textures/skybox/top.png"), with the function that writes it to a full path.
struct Asset {
    std::string path;
    std::function<void(const std::string& fullPath)> write;
};

std::vector<Asset> assetCatalog();
