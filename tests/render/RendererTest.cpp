#include "render/Renderer.h"

#include "app/Globals.h"
#include "effects/GuiObject.h"
#include "render/Camera.h"
#include "render/DirectionalLight.h"
#include "render/TexturedShader.h"
#include "render/VaoLoader.h"
#include "support/GlContext.h"
#include "support/GlProbes.h"
#include "support/ScopedGlobals.h"
#include "terrain/AdvancedTerrainShader.h"

#include <gtest/gtest.h>

namespace {

using testsupport::countDuring;
using testsupport::Pixel;
using testsupport::solidTexture;

// A camera at the origin looking along -z, and copies of a 2 x 2 quad facing it whose 16 triangles
// (the quad's two, eight times over) let a primitive count tell which copies were drawn.
class RendererTest : public testsupport::GlTest {
protected:
    RendererTest() {
        camera->updateFrustum(0.0f);
        std::vector<unsigned int> indices;
        for (int i = 0; i < 8; ++i) indices.insert(indices.end(), {0, 1, 2, 0, 2, 3});
        model = loadIndexedToVAO({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}, {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1},
                                 indices, {0, 0, 1, 0, 1, 1, 0, 1});
        model->material = std::make_shared<Material>(white, 1.0f, 0.0f, false);
        culledObjectCount = 0;
        glEnable(GL_CULL_FACE);
        while (glGetError() != GL_NO_ERROR) {}
    }
    std::shared_ptr<TexturedMesh> copyAt(const glm::vec3& position, int triangles, bool visible = true) {
        auto mesh = copyMesh(model);
        mesh->setPosition(position);
        mesh->vertexCount = 3 * triangles;
        mesh->visible = visible;
        return mesh;
    }
    GLuint drawn(const RenderMap& batches, float maxDistance) {
        return countDuring(GL_PRIMITIVES_GENERATED, [&] { renderer->renderEntities(batches, maxDistance); });
    }
    GLuint cast(const RenderMap& batches) {
        return countDuring(GL_PRIMITIVES_GENERATED, [&] {
            renderer->renderShadowMap(batches, DirectionalLight({0, -1, 0}, {1, 1, 1}), glm::mat4(1.0f), 1000.0f);
        });
    }

    testsupport::ScopedGlobals globals;
    std::shared_ptr<Camera> camera = std::make_shared<Camera>(1.0f);
    std::shared_ptr<Renderer> renderer = std::make_shared<Renderer>(camera);
    GLuint white = solidTexture({255, 255, 255, 255});
    std::shared_ptr<TexturedMesh> model;
};

TEST_F(RendererTest, ModelsAreDrawnInViewWithinTwoHundredUnitsOrAllOfThemWithCullingOff) {
    RenderMap batches;
    batches[int(white)] = {copyAt({0, 0, -10}, 1),        copyAt({0, 0, 10}, 2),    // in view, behind the camera
                           copyAt({0, 0, -200}, 4),       copyAt({0, 0, -199}, 8),  // at the limit, just inside it
                           copyAt({0, 0, 10}, 16, false), copyAt({0, 0, -500}, 16, false)};  // hidden
    batches[int(white) + 1000] = {};                                                         // nothing to draw
    EXPECT_EQ(drawn(batches, 1000.0f), 1u + 8u);
    EXPECT_EQ(culledObjectCount, 1) << "only the near copy behind the camera was tested and rejected";
    EXPECT_EQ(drawn(batches, 150.0f), 1u) << "a pass's own distance lowers the limit";
    cullingEnabled = false;
    EXPECT_EQ(drawn(batches, 1000.0f), 1u + 2u + 4u + 8u);
    EXPECT_EQ(cast(batches), 1u + 8u) << "shadows ignore the switch";
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));

    // A transparent batch shows the back of a quad turned away; culling is on again after it.
    batches.clear();
    batches[int(white)] = {copyAt({0, 0, -5}, 2)};
    batches[int(white)].front()->setRotation({0, 3.14159265f, 0});
    testsupport::OffscreenTarget target(32);
    const auto samples = [&] {
        return countDuring(GL_SAMPLES_PASSED, [&] { renderer->renderEntities(batches, 400); });
    };
    EXPECT_EQ(samples(), 0u);
    model->material->hasTransparency = true;
    EXPECT_GT(samples(), 0u);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(RendererTest, GuiImagesCoverTheirScaledQuadAndAreBlendedInListOrder) {
    testsupport::OffscreenTarget target(32);
    // 2 x 2 texels, the first row on top: red, green / blue, clear; over the top-right quarter. A
    // half-transparent green one lies on the red texel.
    const Pixel red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255}, black{0, 0, 0, 255};
    const GLuint image = testsupport::imageTexture(2, {red, green, blue, {255, 255, 255, 0}});
    glEnable(GL_DEPTH_TEST);
    renderer->renderGui(
        {std::make_shared<GuiObject>(GuiObject{image, {0.5f, 0.5f, 0}, {0.5f, 0.5f, 1}}),
         std::make_shared<GuiObject>(GuiObject{solidTexture({0, 255, 0, 128}), {0.25f, 0.75f, 0}, {0.1f, 0.1f, 1}})});
    EXPECT_EQ(target.at(17, 25), red);
    EXPECT_EQ(target.at(28, 28), green);
    EXPECT_EQ(target.at(20, 20), blue);
    EXPECT_EQ(target.at(28, 20), black) << "a clear texel shows what is behind";
    EXPECT_EQ(target.at(8, 8), black);
    EXPECT_NEAR(target.at(20, 28)[0], 127, 3);
    EXPECT_NEAR(target.at(20, 28)[1], 128, 3);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

// The terrain program through prepareTerrain and renderArray, with the sand layers red and the jade
// layers green, lit straight from above under a blue sky.
TEST_F(RendererTest, TerrainIsSandOnLowLevelGroundJadeOnHeightsAndCliffsFoggedClippedAndDimmed) {
    AdvancedTerrainShader terrain;
    terrain.init();
    glUniform1i(glGetUniformLocation(terrain.programId, "shadowMap"), 1);
    addLight(terrain, DirectionalLight({0, -1, 0}, {1, 1, 1}), 0);
    renderer->skyColor = {0, 0, 1};
    const unsigned char layers[4][4] = {{255, 0, 0, 255}, {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 255, 0, 255}};
    GLuint array = 0;
    glGenTextures(1, &array);
    glBindTexture(GL_TEXTURE_2D_ARRAY, array);
    glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA8, 1, 1, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, layers);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    // A square of side 2 * `half` at height `y` facing up, seen straight down from `height` (or, as a
    // cliff facing +z at the origin, seen from 10 in front at the same height).
    const auto look = [&](float height, float y, bool cliff = false, float half = 5.0f, float clipAbove = 10000) {
        std::vector<float> positions, normals;
        for (const glm::vec2& c : {glm::vec2(-1, -1), glm::vec2(1, -1), glm::vec2(1, 1), glm::vec2(-1, -1),
                                   glm::vec2(1, 1), glm::vec2(-1, 1)}) {
            positions.insert(positions.end(), {half * c.x, cliff ? y + half * c.y : y, cliff ? 0 : -half * c.y});
            normals.insert(normals.end(), {0, cliff ? 0.0f : 1.0f, cliff ? 1.0f : 0.0f});
        }
        const auto square = loadToVAO(positions, normals);
        camera->setTransform({0, height, cliff ? 10 : 0}, {cliff ? 0.0f : -1.5707963f, 0, 0}, glm::vec3(1.0f));
        return testsupport::centreAfter([&] {
            renderer->prepareTerrain(*square, terrain);
            glUniform4f(glGetUniformLocation(terrain.programId, "clipplane"), 0, -1, 0, clipAbove);
            glEnable(GL_CLIP_DISTANCE0);
            renderer->renderArray(*square, terrain.programId, array);
            glDisable(GL_CLIP_DISTANCE0);
        });
    };
    const Pixel beach = look(15, 6), hilltop = look(70, 60), cliff = look(6, 6, true);
    EXPECT_TRUE(beach[0] > 240 && beach[1] < 15);
    EXPECT_TRUE(hilltop[0] < 15 && hilltop[1] > 240);
    EXPECT_EQ(cliff[0], 0);
    EXPECT_NEAR(cliff[1], 0.3 * 255, 6) << "a cliff the sun only grazes: jade, in ambient light";
    EXPECT_GT(look(906, 6, false, 100)[2], 240) << "the sky colour takes over in the distance";
    EXPECT_EQ(look(15, 6, false, 5, 4)[0], 0) << "clipped above 4";
    settings.brightness = 0.5f;
    EXPECT_NEAR(look(15, 6)[0], 128, 4);
    glDeleteTextures(1, &array);
}

}  // namespace
