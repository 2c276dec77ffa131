// modelview: renders previews of the game's models with the game's own loaders and textured program.
//   modelview MODEL OUT.png       MODEL is a preset name ("player_v3", "rabbit", ...; --list names them)
//   modelview --textures OUT.png  a contact sheet of every texture below res/textures
// Run from the repository root (it reads res/ and shader/ like the game), under xvfb-run when there
// is no display.

#include "app/Windowing.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <lodepng.h>

#include "ModelPreset.h"
#include "OffscreenTarget.h"
#include "SkyPreview.h"
#include "TextureSheet.h"
#include "scene/SceneObject.h"
#include "render/ColladaLoader.h"
#include "render/TextureLoader.h"
#include "render/TexturedMesh.h"
#include "render/StorageBindings.h"
#include "render/TexturedShader.h"

namespace {

const int kPanel = 480;
const glm::vec3 kSkyColour(0.62f, 0.78f, 0.95f);

glm::vec3 cameraOffset(const PreviewView& v) {
    float yaw = glm::radians(v.yawDegrees), pitch = glm::radians(v.pitchDegrees);
    return glm::vec3(std::sin(yaw) * std::cos(pitch), std::sin(pitch), std::cos(yaw) * std::cos(pitch));
}

void setLight(GLuint program, int i, const glm::vec3& direction, const glm::vec3& colour) {
    std::string n = "[" + std::to_string(i) + "]";
    glUniform3fv(glGetUniformLocation(program, ("lightPos" + n).c_str()), 1, glm::value_ptr(direction));
    glUniform3fv(glGetUniformLocation(program, ("lightColor" + n).c_str()), 1, glm::value_ptr(colour));
    glUniform3f(glGetUniformLocation(program, ("attenuation" + n).c_str()), 1, 0, 0);
    glUniform1i(glGetUniformLocation(program, ("lightType" + n).c_str()), 1);
}

// Draws the model's meshes with the game's textured program `shader`. Changes GL state: program,
// culling, depth test, texture unit 0.
void drawModel(const TexturedShader& textured, const ModelPreset& preset,
               const std::vector<std::shared_ptr<TexturedMesh>>& meshes, const std::vector<GLuint>& textures,
               const glm::mat4& projection, const glm::mat4& view) {
    const TexturedShader* shader = &textured;
    GLuint program = shader->programId;
    glUseProgram(program);
    glUniformMatrix4fv(shader->projectionMatrixLocation, 1, GL_FALSE, glm::value_ptr(projection));
    glUniformMatrix4fv(shader->viewMatrixLocation, 1, GL_FALSE, glm::value_ptr(view));
    glUniform3fv(shader->skyColorLocation, 1, glm::value_ptr(kSkyColour));
    glUniform1f(shader->brightnessFactorLocation, 1.0f);
    glUniform4f(glGetUniformLocation(program, "clipplane"), 0, -1, 0, 10000);
    glUniform1i(glGetUniformLocation(program, "textureSampler"), 0);
    // The game's sun; the lamp that follows the player sits inside the cat and lights nothing else
    // from afar, so it is left out.
    setLight(program, 0, glm::vec3(-0.4f, -1.0f, 0.5f), glm::vec3(1.0f));
    glUniform1i(shader->numberOfLightsLocation, 1);
    glEnable(GL_DEPTH_TEST);
    // The program reads its model matrix from the instance buffer: one instance per mesh here.
    GLuint matrixBuffer = 0;
    glGenBuffers(1, &matrixBuffer);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kModelInstances, matrixBuffer);
    glUniform1i(shader->instanceBaseLocation, 0);
    for (size_t i = 0; i < meshes.size() && i < preset.meshes.size(); ++i) {
        const MeshLook& look = preset.meshes[i];
        glm::mat4 model = glm::translate(glm::mat4(1.0f), look.position) * SceneObject::rotationMatrix(look.rotation) *
                          glm::scale(glm::mat4(1.0f), look.scale);
        glBufferData(GL_SHADER_STORAGE_BUFFER, sizeof(model), glm::value_ptr(model), GL_STREAM_DRAW);
        glUniform1f(shader->shineDamperLocation, look.shineDamper);
        glUniform1f(shader->reflectivityLocation, look.reflectivity);
        if (look.transparent)
            glDisable(GL_CULL_FACE);
        else {
            glEnable(GL_CULL_FACE);
            glCullFace(GL_BACK);
        }
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, textures[i]);
        glBindVertexArray(meshes[i]->vaoId);
        for (int a = 0; a < 3; ++a) glEnableVertexAttribArray(a);
        glDrawElements(GL_TRIANGLES, meshes[i]->vertexCount, GL_UNSIGNED_INT, nullptr);
        for (int a = 0; a < 3; ++a) glDisableVertexAttribArray(a);
    }
    glBindVertexArray(0);
    glDeleteBuffers(1, &matrixBuffer);
}

void savePanels(const std::string& path, const std::vector<std::vector<unsigned char>>& panels, int perRow) {
    int rows = static_cast<int>((panels.size() + perRow - 1) / perRow);
    int cols = std::min<int>(perRow, static_cast<int>(panels.size()));
    unsigned w = kPanel * cols, h = kPanel * rows;
    std::vector<unsigned char> sheet(static_cast<size_t>(w) * h * 4, 255);
    for (size_t p = 0; p < panels.size(); ++p) {
        int ox = static_cast<int>(p % perRow) * kPanel, oy = static_cast<int>(p / perRow) * kPanel;
        for (int y = 0; y < kPanel; ++y)
            std::copy_n(&panels[p][static_cast<size_t>(y) * kPanel * 4], kPanel * 4,
                        &sheet[(static_cast<size_t>(oy + y) * w + ox) * 4]);
    }
    unsigned error = lodepng::encode(path, sheet, w, h);
    if (error) throw std::runtime_error(std::string("cannot write ") + path + ": " + lodepng_error_text(error));
}

void renderModel(const std::string& name, const std::string& outPath) {
    ModelPreset preset = presetFor(name);
    std::vector<std::shared_ptr<TexturedMesh>> meshes;
    ColladaLoader::loadModel(preset.model, meshes);
    OffscreenTarget target(kPanel, kPanel);
    std::vector<std::vector<unsigned char>> panels;
    glm::mat4 projection = glm::perspective(glm::radians(preset.sky ? 80.0f : 40.0f), 1.0f, 0.05f, 1000.0f);

    if (preset.sky) {
        const std::vector<std::string> day = {"skybox/right.png",  "skybox/left.png", "skybox/top.png",
                                              "skybox/bottom.png", "skybox/back.png", "skybox/front.png"};
        const std::vector<std::string> night = {"skybox/nightRight.png", "skybox/nightLeft.png",
                                                "skybox/nightTop.png",   "skybox/nightBottom.png",
                                                "skybox/nightBack.png",  "skybox/nightFront.png"};
        GLuint cubes[2] = {loadCubeMap(day, 1024, 1024), loadCubeMap(night, 512, 512)};
        SkyPreview sky;
        for (GLuint cube : cubes)
            for (const PreviewView& v : preset.views) {
                glm::mat4 view = glm::lookAt(glm::vec3(0), -cameraOffset(v), glm::vec3(0, 1, 0));
                target.begin(0, 0, 0);
                sky.draw(*meshes[0], cube, projection, view);
                panels.push_back(target.finish());
            }
        savePanels(outPath, panels, static_cast<int>(preset.views.size()));
        return;
    }

    TexturedShader shader;
    shader.init();
    std::vector<GLuint> textures;
    for (const MeshLook& look : preset.meshes)
        textures.push_back(loadTexture(look.texture, look.textureSize, look.textureSize));
    for (const PreviewView& v : preset.views) {
        glm::vec3 eye = preset.target + cameraOffset(v) * v.distance;
        glm::mat4 view = glm::lookAt(eye, preset.target, glm::vec3(0, 1, 0));
        target.begin(kSkyColour.r * 0.8f, kSkyColour.g * 0.8f, kSkyColour.b * 0.8f);
        drawModel(shader, preset, meshes, textures, projection, view);
        panels.push_back(target.finish());
    }
    savePanels(outPath, panels, static_cast<int>(preset.views.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--list") {
        for (const std::string& n : presetNames()) std::printf("%s\n", n.c_str());
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s MODEL OUT.png | --textures OUT.png | --list\n", argv[0]);
        return 2;
    }
    if (!startGlfw()) return 1;
    GlWindowRequest request;
    request.size = {64, 64};
    request.title = "modelview";
    request.visible = false;
    WindowSize drawable;
    GLFWwindow* window = openGlWindow(request, drawable);
    if (!window) return 1;
    int status = 0;
    try {
        std::string what = argv[1];
        if (what == "--textures")
            writeTextureSheet(argv[2]);
        else
            renderModel(what, argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "modelview: %s\n", e.what());
        status = 1;
    }
    closeGlWindow(window);
    return status;
}
