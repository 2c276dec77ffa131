#include "app/Globals.h"
#include "render/Camera.h"
#include "render/DirectionalLight.h"
#include "render/Renderer.h"
#include "render/ShadowBox.h"
#include "render/ShadowFrameBuffer.h"
#include "render/ShadowMaster.h"
#include "render/VaoLoader.h"
#include "support/GlContext.h"
#include "support/GlProbes.h"
#include "support/ScopedGlobals.h"
#include "terrain/AdvancedTerrainShader.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

glm::vec3 transform(const glm::mat4& m, const glm::vec3& p) {
    const glm::vec4 q = m * glm::vec4(p, 1.0f);
    return glm::vec3(q) / q.w;
}

// A 120 x 120 ground square at y = 0 that doubles as the terrain, with a 6 x 6 ledge at y = 8 over
// (0, -15), lit straight from above and seen from above and in front; casters are 6-unit cubes.
class ShadowSceneTest : public testsupport::GlTest {
protected:
    ShadowSceneTest() {
        camera->setTransform({0, 30, 30}, {-0.7853982f, 0, 0}, glm::vec3(1.0f));
        renderer->shadowMapTexture = frameBuffer->depthTexture;
        renderer->shadowMapSize = frameBuffer->width;
        master->light = sun;
        terrain.init();
        glUniform1i(glGetUniformLocation(terrain.programId, "shadowMap"), 1);
        addLight(terrain, *sun, 0);
        std::vector<float> positions, normals;
        for (const glm::vec4& square : {glm::vec4(0, 0, 0, 60), glm::vec4(0, 8, -15, 3)}) {
            for (const glm::vec2& c : {glm::vec2(-1, 1), glm::vec2(1, 1), glm::vec2(1, -1), glm::vec2(-1, 1),
                                       glm::vec2(1, -1), glm::vec2(-1, -1)}) {
                positions.insert(positions.end(), {square.x + square.w * c.x, square.y, square.z + square.w * c.y});
                normals.insert(normals.end(), {0, 1, 0});
            }
        }
        ground = loadToVAO(positions, normals);
        glGenTextures(1, &layers);
        glBindTexture(GL_TEXTURE_2D_ARRAY, layers);
        glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA8, 1, 1, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     std::vector<unsigned char>(16, 255).data());
        glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        while (glGetError() != GL_NO_ERROR) {}
    }
    std::shared_ptr<TexturedMesh> cube(const glm::vec3& centre, bool cutOut = false) {
        std::vector<float> positions, normals(24, 0.0f), uvs(16, 0.5f);
        for (int i = 0; i < 8; ++i)
            positions.insert(positions.end(), {i & 1 ? 3.0f : -3.0f, i & 2 ? 3.0f : -3.0f, i & 4 ? 3.0f : -3.0f});
        auto mesh = loadIndexedToVAO(positions, normals, {0, 1, 3, 0, 3, 2, 4, 6, 7, 4, 7, 5, 0, 4, 5, 0, 5, 1,
                                                          2, 3, 7, 2, 7, 6, 0, 2, 6, 0, 6, 4, 1, 5, 7, 1, 7, 3},
                                     uvs);
        mesh->material = std::make_shared<Material>(textures[cutOut]);
        mesh->setPosition(centre);
        return mesh;
    }
    // The whole shadow pass, then the ground drawn with the terrain program; the brightness (red) at
    // the given ground points.
    std::vector<int> renderAndSample(const RenderMap& casters, const std::vector<glm::vec3>& points) {
        master->render();
        renderer->renderShadowMap(casters, *sun, master->shadowBox->projectionMatrix, 1000.0f);
        glBindTexture(GL_TEXTURE_2D, textures[1]);  // whatever the models left on unit 0 must not matter
        master->renderTerrain(*ground);
        master->endPass();
        master->loadShadowUniforms(terrain.programId);
        camera->updateFrustum(0.0f);
        testsupport::OffscreenTarget target(64);
        renderer->prepareTerrain(*ground, terrain);
        renderer->renderArray(*ground, terrain.programId, layers);
        std::vector<int> brightness;
        for (const glm::vec3& p : points) {
            const glm::vec3 ndc = transform(camera->getProjectionMatrix() * camera->getViewMatrix(), p);
            brightness.push_back(target.at(int((ndc.x + 1.0f) * 32), int((ndc.y + 1.0f) * 32))[0]);
        }
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        return brightness;
    }

    std::shared_ptr<Camera> camera = std::make_shared<Camera>(1.0f);
    std::shared_ptr<Renderer> renderer = std::make_shared<Renderer>(camera);
    std::shared_ptr<ShadowFrameBuffer> frameBuffer = std::make_shared<ShadowFrameBuffer>(1024, 1024, 64, 64);
    std::shared_ptr<ShadowMaster> master = std::make_shared<ShadowMaster>(camera, renderer, frameBuffer);
    std::shared_ptr<DirectionalLight> sun = std::make_shared<DirectionalLight>(glm::vec3(0, -1, 0), glm::vec3(1));
    AdvancedTerrainShader terrain;
    std::shared_ptr<TexturedMesh> ground;
    GLuint layers = 0;
    GLuint textures[2] = {testsupport::solidTexture({255, 255, 255, 255}),
                          testsupport::solidTexture({255, 255, 255, 0})};
};

TEST_F(ShadowSceneTest, BoxesAndLedgesShadowTheGroundButCutOutsAndFarShadowsDoNot) {
    RenderMap casters;
    casters[int(textures[0])] = {cube({-12, 6, 0})};
    casters[int(textures[1])] = {cube({12, 6, 0}, true)};
    const auto light = renderAndSample(casters, {{-12, 0, 0}, {12, 0, 0}, {0, 0, -15}, {0, 0, 5}, {-20, 0, 8}});
    EXPECT_LT(light[0], 100) << "the box's shadow falls straight down";
    EXPECT_GT(light[1], 230) << "fully cut-out texels cast no shadow";
    EXPECT_LT(light[2], 100) << "the terrain shadows itself";
    EXPECT_GT(std::min(light[3], light[4]), 230) << "flat ground in full sun does not shadow itself";
    master->shadowDistance = 10.0f;  // the box's shadow lies about 40 units from the camera
    EXPECT_GT(renderAndSample(casters, {{-12, 0, 0}})[0], 230) << "shadows fade out towards the distance";

    master->render();
    master->endPass();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(glm::ivec2(viewport[2], viewport[3]), glm::ivec2(64, 64)) << "the window's viewport is back";
    master->light.reset();  // nothing to aim without a sun: the pass is skipped
    master->render();
    master->endPass();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
