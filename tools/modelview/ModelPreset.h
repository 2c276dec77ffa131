#pragma once

#include <string>
#include <vector>

#include <glm/glm.hpp>

// How the game dresses and places each model, so a preview shows what a player sees.
struct MeshLook {
    std::string texture;  // below res/textures
    int textureSize;
    float shineDamper;
    float reflectivity;
    bool transparent;  // drawn without back-face culling
    glm::vec3 position;
    glm::vec3 rotation;
    glm::vec3 scale;
};

struct PreviewView {
    float yawDegrees;    // 0: camera on +z looking towards -z (behind a character)
    float pitchDegrees;  // camera height angle above the target
    float distance;
};

struct ModelPreset {
    std::string model;  // below res/models
    std::vector<MeshLook> meshes;
    glm::vec3 target;
    std::vector<PreviewView> views;
    bool sky = false;  // drawn from inside with the day and night cube maps instead
};

// The preset for a model file name without extension ("player_v3"); throws when unknown.
ModelPreset presetFor(const std::string& name);
std::vector<std::string> presetNames();
