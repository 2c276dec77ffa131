#include "view/Renderer.h"

#include "effects/GuiObject.h"
#include "render/Camera.h"
#include "render/DirectionalLight.h"
#include "render/LookAt.h"
#include "render/PointLight.h"
#include "render/ShadowBox.h"
#include "render/StorageBindings.h"
#include "render/ShadowFrameBuffer.h"
#include "view/ShadowMaster.h"
#include "render/TexturedShader.h"
#include "render/UniformMatrix.h"
#include "render/VaoLoader.h"
#include "support/GlContext.h"
#include "support/GlProbes.h"
#include "support/Near.h"
#include "terrain/AdvancedTerrainShader.h"
#include "terrain/TerrainChunks.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

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

    int culled = 0;
    bool culling = true;
    float brightness = 1.0f;
    std::shared_ptr<Camera> camera = std::make_shared<Camera>(1.0f, &culled);
    std::shared_ptr<Renderer> renderer = std::make_shared<Renderer>(camera, DrawSwitches{&culling, &brightness});
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
    EXPECT_EQ(culled, 1) << "only the near copy behind the camera was tested and rejected";
    EXPECT_EQ(drawn(batches, 150.0f), 1u) << "a pass's own distance lowers the limit";
    culling = false;
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

// A model whose coarse version is the quad's upper left half (its second triangle): copies beyond
// the coarse distance are drawn from those indices, in the scene and the shadow pass, nearer ones
// whole; 0 keeps every copy whole. Its outline (the quad once) is cast by copies beyond the shadow's
// outline distance, and drawn by those beyond the models' own.
TEST_F(RendererTest, FarCopiesAreDrawnFromTheCoarseIndicesNearOnesWhole) {
    std::vector<unsigned int> indices;
    for (int i = 0; i < 8; ++i) indices.insert(indices.end(), {0, 1, 2, 0, 2, 3});
    auto coarse = loadIndexedToVAO({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}, {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1},
                                   indices, {0, 0, 1, 0, 1, 1, 0, 1}, {0, 2, 3}, {0, 1, 2, 0, 2, 3});
    coarse->material = model->material;
    const auto at = [&](float z) {
        auto copy = copyMesh(coarse);
        copy->setPosition({0, 0, z});
        return copy;
    };
    RenderMap batches;
    batches[int(white)] = {at(-3), at(-30), at(-40)};
    renderer->coarseModelDistance = 20.0f;
    EXPECT_EQ(drawn(batches, 400.0f), 16u + 1u + 1u);
    EXPECT_EQ(cast(batches), 16u + 1u + 1u);
    renderer->shadowOutlineDistance = 35.0f;
    EXPECT_EQ(cast(batches), 16u + 1u + 2u);
    EXPECT_EQ(drawn(batches, 400.0f), 16u + 1u + 1u);
    renderer->outlineModelDistance = 25.0f;
    EXPECT_EQ(drawn(batches, 400.0f), 16u + 2u + 2u);
    EXPECT_EQ(cast(batches), 16u + 1u + 2u);
    renderer->shadowOutlineDistance = renderer->outlineModelDistance = 0.0f;
    batches[int(white)] = {at(-2.5f)};
    renderer->coarseModelDistance = 2.0f;
    // Upper left is in the coarse triangle, lower right only in the whole quad.
    testsupport::OffscreenTarget target(32);
    renderer->renderEntities(batches, 400.0f);
    EXPECT_GT(target.at(11, 21)[0], 0);
    EXPECT_EQ(target.at(21, 11)[0], 0) << "the far copy is drawn from its own indices";
    renderer->coarseModelDistance = 0.0f;
    EXPECT_EQ(drawn(batches, 400.0f), 16u);
}

// Two models under one texture, as the rabbit's and the flying rabbit's bodies are: a square in the
// lower left quarter and one in the lower right, each with its own vertex array, and copies of them
// moved up, the right one's hidden. Each copy is an instance of its model's run, drawn where it is, in
// both the scene and the shadow pass.
TEST_F(RendererTest, ModelsSharingATextureAreEachDrawnThroughTheirOwnVertexArrayEveryCopyWhereItIs) {
    const auto square = [&](float left, float right) {
        auto mesh =
            loadIndexedToVAO({left, -1, 0, right, -1, 0, right, -0.2f, 0, left, -0.2f, 0},
                             {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1}, {0, 1, 2, 0, 2, 3}, {0, 0, 1, 0, 1, 1, 0, 1});
        mesh->material = model->material;
        mesh->setPosition({0, 0, -3});
        return mesh;
    };
    const auto movedUp = [](const std::shared_ptr<TexturedMesh>& mesh, bool visible) {
        auto copy = copyMesh(mesh);
        copy->setPosition({0, 1.2f, -3});
        copy->visible = visible;
        return copy;
    };
    const auto left = square(-1.0f, -0.2f), right = square(0.2f, 1.0f);
    RenderMap batches;
    batches[int(white)] = {movedUp(left, true), right, movedUp(right, false), left};
    const int lowerLeft[2] = {10, 10}, lowerRight[2] = {22, 10}, upperLeft[2] = {10, 22}, upperRight[2] = {22, 22};
    const auto expectDrawn = [&](const std::function<bool(const int*)>& drawnAt) {
        EXPECT_TRUE(drawnAt(lowerLeft));
        EXPECT_TRUE(drawnAt(lowerRight)) << "the second model is drawn where it is, not as the first";
        EXPECT_TRUE(drawnAt(upperLeft)) << "a copy is drawn with its own placement";
        EXPECT_FALSE(drawnAt(upperRight)) << "a hidden copy is not drawn";
    };
    testsupport::OffscreenTarget target(32);
    renderer->renderEntities(batches, 400.0f);
    expectDrawn([&](const int* p) { return target.at(p[0], p[1])[0] > 0; });
    // The shadow pass, seen here through the camera, draws them into the depth buffer too.
    target.clear();
    DirectionalLight sun({0, -1, 0}, {1, 1, 1});
    sun.viewMatrix = camera->getViewMatrix();
    glEnable(GL_DEPTH_TEST);
    renderer->renderShadowMap(batches, sun, camera->getProjectionMatrix(), 1000.0f);
    glDisable(GL_DEPTH_TEST);
    expectDrawn([&](const int* p) {
        float depth = 1.0f;
        glReadPixels(p[0], p[1], 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        return depth < 1.0f;
    });
}

TEST_F(RendererTest, GuiImagesCoverTheirScaledQuadAndAreBlendedInListOrder) {
    testsupport::OffscreenTarget target(32);
    // Over the top-right quarter 2 x 2 texels, red, green / blue, clear; a half-green one on the red.
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

// The terrain program with red sand and green jade layers, lit straight from above under a blue sky.
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
    // A square of side 2 * `half` at `y` seen from `height` above (or as a cliff from 10 in front).
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
            renderer->renderArray(*square, terrain, array);
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
    brightness = 0.5f;
    EXPECT_NEAR(look(15, 6)[0], 128, 4);
    glDeleteTextures(1, &array);
}

// At the lowest detail a 45-degree slope lies where the projection from above and the one from the
// side change places: its jade is half of each, so no hard seam shows there. The jade is black in the
// left half of its texture and green in the right; the middle of the slope reads black from the side
// and green from above.
TEST_F(RendererTest, TheLowestDetailBlendsTheJadeHalfAndHalfWhereTheProjectionsChangePlaces) {
    AdvancedTerrainShader terrain("#define TERRAIN_DETAIL 0\n#define SHADOW_RADIUS 0\n");
    terrain.init();
    glUniform1i(glGetUniformLocation(terrain.programId, "shadowMap"), 1);
    addLight(terrain, DirectionalLight({0, -1, 0}, {1, 1, 1}), 0);
    const unsigned char layers[4][2][4] = {{{255, 0, 0, 255}, {255, 0, 0, 255}},
                                           {{255, 0, 0, 255}, {255, 0, 0, 255}},
                                           {{0, 0, 0, 255}, {0, 255, 0, 255}},
                                           {{0, 0, 0, 255}, {0, 255, 0, 255}}};
    GLuint array = 0;
    glGenTextures(1, &array);
    glBindTexture(GL_TEXTURE_2D_ARRAY, array);
    glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA8, 2, 1, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, layers);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    // Through (7.5, 60, 2.5), facing up and along +x alike: from above u = 0.75, from the side 0.25.
    const glm::vec3 middle(7.5f, 60.0f, 2.5f), across(0.7071f, -0.7071f, 0.0f), down(0.0f, 0.0f, -1.0f);
    std::vector<float> positions, normals;
    for (const glm::vec2& c :
         {glm::vec2(-1, -1), glm::vec2(1, -1), glm::vec2(1, 1), glm::vec2(-1, -1), glm::vec2(1, 1), glm::vec2(-1, 1)}) {
        const glm::vec3 p = middle + 3.0f * (c.x * across + c.y * down);
        positions.insert(positions.end(), {p.x, p.y, p.z});
        normals.insert(normals.end(), {0.7071f, 0.7071f, 0.0f});
    }
    const auto slope = loadToVAO(positions, normals);
    camera->setTransform({7.5f, 70.0f, 2.5f}, {-1.5707963f, 0, 0}, glm::vec3(1.0f));
    const Pixel seen = testsupport::centreAfter([&] {
        renderer->prepareTerrain(*slope, terrain);
        renderer->renderArray(*slope, terrain, array);
    });
    // Half green, lit by a sun 45 degrees off the slope's normal over the ambient 0.3.
    EXPECT_NEAR(seen[1], 0.5 * 255 * (0.3 + 0.7 * 0.7071), 12);
    EXPECT_EQ(seen[0], 0) << "jade only: no sand on a slope this steep";
    glDeleteTextures(1, &array);
}

std::vector<glm::vec3> boxAt(const glm::vec3& c, float half = 0.5f) {
    std::vector<glm::vec3> corners;
    for (int i = 0; i < 8; ++i)
        corners.push_back(c + glm::vec3(i & 1 ? half : -half, i & 2 ? half : -half, i & 4 ? half : -half));
    return corners;
}

TEST(Camera, CullsWithAWideFrustumCountingEachRejection) {
    int culled = 0;
    Camera camera(16.0f / 9.0f, &culled);
    camera.updateFrustum(0.0f);  // at the origin looking along -z, out to the far plane
    EXPECT_TRUE(camera.isInFrustum(boxAt(glm::vec3(0, 0, -10))));
    EXPECT_TRUE(camera.isInFrustum(boxAt(glm::vec3(0, 0, -1000), 5.0f))) << "straddling the far plane";
    EXPECT_TRUE(camera.isInFrustum(boxAt(glm::vec3(0), 1.0f))) << "straddling the near plane";
    // The full field of view serves as the half angle: 45 degrees off the axis is still inside.
    EXPECT_TRUE(camera.isInFrustum(boxAt(glm::vec3(0, 10, -10), 0.01f)));
    EXPECT_TRUE(camera.isPointInFrustum(glm::vec3(0, 10, -10)));
    EXPECT_EQ(culled, 0);
    EXPECT_FALSE(camera.isInFrustum(boxAt(glm::vec3(0, 0, 10))));
    EXPECT_FALSE(camera.isPointInFrustum(glm::vec3(0, 30, -10)));
    EXPECT_EQ(culled, 2);
    // On a plane: outside for boxes, inside for points (at x = y = 0 the far plane is exact).
    EXPECT_FALSE(camera.isInFrustum(std::vector<glm::vec3>(8, glm::vec3(0, 0, -1000))));
    EXPECT_TRUE(camera.isPointInFrustum(glm::vec3(0, 0, -1000)));
    camera.updateFrustum(100.0f);
    EXPECT_FALSE(camera.isPointInFrustum(glm::vec3(0, 0, -101))) << "cut at the distance asked for";
    EXPECT_TRUE(testsupport::near(camera.frustum.centre, glm::vec3(0, 0, -(camera.nearPlane + 100.0f) / 2)));
}

// The sun one unit above the view's centre, looking down at it: the box spans the half extent
// around that centre on every side.
TEST(ShadowBox, SpansItsHalfExtentAroundTheViewCentreAsSeenFromTheSun) {
    const glm::vec3 centre(10, 20, 30), e(ShadowBox::halfExtent);
    const glm::mat4 view = lookAt(centre + glm::vec3(0, 1, 0), centre, glm::vec3(0, 0, 1));
    EXPECT_TRUE(testsupport::near(glm::vec3(view * glm::vec4(centre, 1.0f)), glm::vec3(0, 0, -1)));
    Frustum frustum;
    frustum.centre = centre;
    ShadowBox box;
    box.update(frustum, view);
    // Across the sunlight, where the snapping to texel corners moves it by less than a texel.
    const auto across = [&](const glm::vec3& p) { return glm::vec3(box.projectionMatrix * view * glm::vec4(p, 1)); };
    EXPECT_NEAR(std::abs(across(centre + e).x), 1.0f, 1e-3f);
    EXPECT_NEAR(std::abs(across(centre + e).y), 1.0f, 1e-3f);
    EXPECT_TRUE(testsupport::near(across(centre) * glm::vec3(1, 1, 0), glm::vec3(0), 1e-3f));
}

testing::AssertionResult near(const Pixel& pixel, int r, int g, int b) {
    if (std::abs(pixel[0] - r) <= 4 && std::abs(pixel[1] - g) <= 4 && std::abs(pixel[2] - b) <= 4)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "got (" << int(pixel[0]) << ", " << int(pixel[1]) << ", " << int(pixel[2])
                                       << "), want (" << r << ", " << g << ", " << b << ")";
}

// The model program on a camera-facing quad lit head-on by a white sun, under a red sky, over blue.
class TexturedShaderTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        program.init();
        addLight(program, sun, 0);
        uniform("shineDamper", 1.0f);
        uniform("reflectivity", 0.0f);
        uniform("brightnessFactor", 1.0f);
        glUniform3f(program.skyColorLocation, 1.0f, 0.0f, 0.0f);
        glUniform4f(glGetUniformLocation(program.programId, "clipplane"), 0.0f, 0.0f, 0.0f, 1.0f);
        glUniform1i(program.instanceBaseLocation, 0);
        glGenBuffers(1, &modelMatrix);
    }
    void TearDown() override { glDeleteBuffers(1, &modelMatrix); }
    void uniform(const char* name, float value) { glUniform1f(glGetUniformLocation(program.programId, name), value); }
    // The centre pixel of the quad `distance` in front of the camera, turned by `turn`, textured with `texel`.
    Pixel draw(const Pixel& texel = {255, 255, 255, 255}, float distance = 2.0f, const glm::mat4& turn = glm::mat4(1)) {
        const GLuint texture = testsupport::solidTexture(texel);
        glUseProgram(program.programId);
        // One instance, its model matrix first in the instance buffer.
        const glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, -distance)) * turn;
        glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kModelInstances, modelMatrix);
        glBufferData(GL_SHADER_STORAGE_BUFFER, sizeof model, &model, GL_STREAM_DRAW);
        setMatrix(program.viewMatrixLocation, glm::mat4(1.0f));
        setMatrix(program.projectionMatrixLocation, glm::ortho(-1.0f, 1.0f, -1.0f, 1.0f, 0.1f, 3000.0f));
        glBindTexture(GL_TEXTURE_2D, texture);
        glBindVertexArray(quad->vaoId);
        for (GLuint attribute : {0u, 1u, 2u}) glEnableVertexAttribArray(attribute);
        glEnable(GL_CLIP_DISTANCE0);
        const Pixel pixel = testsupport::centreAfter(
            [&] { glDrawElements(GL_TRIANGLES, quad->vertexCount, GL_UNSIGNED_INT, nullptr); }, 8, {0, 0, 255, 255});
        glDisable(GL_CLIP_DISTANCE0);
        glBindVertexArray(0);
        glDeleteTextures(1, &texture);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        return pixel;
    }

    TexturedShader program;
    GLuint modelMatrix = 0;  // the instance buffer
    DirectionalLight sun{glm::vec3(0, 0, -1), glm::vec3(1)};
    std::shared_ptr<TexturedMesh> quad =
        loadIndexedToVAO({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}, {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1},
                         {0, 1, 2, 0, 2, 3}, {0, 0, 1, 0, 1, 1, 0, 1});
};

TEST_F(TexturedShaderTest, LightingHasAnAmbientFloorSpecularAndAttenuation) {
    EXPECT_TRUE(near(draw(), 255, 255, 255));
    EXPECT_TRUE(near(draw({128, 128, 128, 255}), 128, 128, 128));
    glUniform1i(program.numberOfLightsLocation, 0);  // unused slots are ignored
    EXPECT_TRUE(near(draw(), 64, 64, 64)) << "the ambient floor";
    addLight(program, DirectionalLight(glm::vec3(1, 0, 0), glm::vec3(1)), 0);  // grazing
    EXPECT_TRUE(near(draw(), 64, 64, 64));
    PointLight lamp;  // one unit in front of the quad, with 1 / (1 + d^2) falloff
    lamp.color = glm::vec3(1);
    lamp.position = glm::vec3(0, 0, -1);
    lamp.attenuation = glm::vec3(1, 0, 1);
    addLight(program, lamp, 0);
    addLight(program, sun, kLightSlots);
    EXPECT_EQ(program.numberOfLights, 1) << "no such slot: left out, not counted";
    EXPECT_TRUE(near(draw(), 128, 128, 128));
    // At 45 degrees a damper of 1 gives a narrow highlight, not a wash of white over the grey.
    addLight(program, DirectionalLight(glm::vec3(-1, 0, -1), glm::vec3(1)), 0);
    const Pixel matte = draw({128, 128, 128, 255});
    EXPECT_TRUE(near(matte, 91, 91, 91));
    const glm::mat4 turned = glm::rotate(glm::mat4(1.0f), 0.7853982f, glm::vec3(0, 1, 0));
    EXPECT_TRUE(near(draw({128, 128, 128, 255}, 2.0f, turned), 128, 128, 128)) << "turned to face that light";
    uniform("reflectivity", 1.0f);
    const Pixel shiny = draw({128, 128, 128, 255});
    EXPECT_TRUE(shiny[0] > matte[0] + 20 && shiny[0] < 200) << int(shiny[0]);
}

TEST_F(TexturedShaderTest, CutOutsFogBrightnessAndTheClipPlane) {
    EXPECT_TRUE(near(draw({255, 255, 255, 100}), 0, 0, 255)) << "texels under half alpha are discarded";
    EXPECT_TRUE(near(draw({255, 255, 255, 255}, 1500.0f), 255, 0, 0)) << "far away the sky colour takes over";
    const Pixel midway = draw({255, 255, 255, 255}, 150.0f);
    EXPECT_TRUE(midway[1] > 40 && midway[1] < 215) << "at 150 units the model still shows";
    EXPECT_TRUE(near(draw({255, 255, 255, 255}, 195.0f), 255, 0, 0)) << "no model pops out at the 200-unit cut";
    uniform("brightnessFactor", 0.5f);
    EXPECT_TRUE(near(draw(), 128, 128, 128));
    glUniform4f(glGetUniformLocation(program.programId, "clipplane"), 0.0f, 0.0f, 1.0f, 1.0f);  // keeps z > -1
    EXPECT_TRUE(near(draw(), 0, 0, 255));
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
    // The shadow pass, then the ground with the terrain program; the brightness at the given points.
    std::vector<int> renderAndSample(const RenderMap& casters, const std::vector<glm::vec3>& points) {
        master->render();
        renderer->renderShadowMap(casters, *sun, master->shadowBox->projectionMatrix, 1000.0f);
        glBindTexture(GL_TEXTURE_2D, textures[1]);  // whatever the models left on unit 0 must not matter
        master->renderTerrain(*ground);
        master->endPass();
        master->loadShadowUniforms(terrain);
        camera->updateFrustum(0.0f);
        testsupport::OffscreenTarget target(64);
        renderer->prepareTerrain(*ground, terrain);
        renderer->renderArray(*ground, terrain, layers);
        std::vector<int> lit;
        for (const glm::vec3& p : points) {
            const glm::vec4 clip = camera->getProjectionMatrix() * camera->getViewMatrix() * glm::vec4(p, 1.0f);
            lit.push_back(target.at(int((clip.x / clip.w + 1) * 32), int((clip.y / clip.w + 1) * 32))[0]);
        }
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        return lit;
    }

    int culled = 0;
    bool culling = true;
    float brightness = 1.0f;
    std::shared_ptr<Camera> camera = std::make_shared<Camera>(1.0f, &culled);
    std::shared_ptr<Renderer> renderer = std::make_shared<Renderer>(camera, DrawSwitches{&culling, &brightness});
    std::shared_ptr<ShadowFrameBuffer> frameBuffer = std::make_shared<ShadowFrameBuffer>(1024, 1024, 64, 64);
    std::shared_ptr<ShadowMaster> master = std::make_shared<ShadowMaster>(camera, renderer, frameBuffer);
    std::shared_ptr<DirectionalLight> sun = std::make_shared<DirectionalLight>(glm::vec3(0, -1, 0), glm::vec3(1));
    AdvancedTerrainShader terrain;
    std::vector<float> positions, normals;  // the ground's and the ledge's triangles
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
}

// The landscape's depth from its chunks is kept and copied back while the box stands still, moved by
// whole texels with only the strips left open drawn when the box steps across the sunlight, and drawn
// afresh once the box moved otherwise or the chunks are new.
TEST_F(ShadowSceneTest, KeptLandscapeDepthFollowsTheBoxAndTheChunks) {
    // A slope wider than the box, so that every texel's depth tells where it was drawn from.
    std::vector<float> slope, up;
    for (int i = -8; i < 8; ++i) {
        for (int j = -8; j < 8; ++j) {
            for (const glm::vec2& c : {glm::vec2(-1, 1), glm::vec2(1, 1), glm::vec2(1, -1), glm::vec2(-1, 1),
                                       glm::vec2(1, -1), glm::vec2(-1, -1)}) {
                const float x = 40.0f * (float(i) + 0.5f * (c.x + 1.0f)), z = 40.0f * (float(j) + 0.5f * (c.y + 1.0f));
                slope.insert(slope.end(), {x, 0.05f * x + 0.02f * z, z});
                up.insert(up.end(), {0, 1, 0});
            }
        }
    }
    const auto land = std::make_shared<TerrainChunks>(TerrainChunks::build(slope, up, 50.0f));
    const auto ground = std::make_shared<TerrainChunks>(TerrainChunks::build(positions, normals, 50.0f));
    const auto depthFrom = [&](const std::shared_ptr<TerrainChunks>& chunks, glm::vec3 moved, bool keep) {
        master->cacheTerrain = keep;
        camera->setTransform(glm::vec3(0, 30, 30) + moved, {-0.7853982f, 0, 0}, glm::vec3(1.0f));
        master->beginPass(false);
        master->renderTerrainChunks(chunks);
        master->endPass();
        std::vector<float> depth(static_cast<size_t>(frameBuffer->width) * frameBuffer->height);
        glBindTexture(GL_TEXTURE_2D, frameBuffer->depthTexture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        return depth;
    };
    const auto differing = [](const std::vector<float>& a, const std::vector<float>& b) {
        int count = 0;
        for (size_t i = 0; i < a.size(); ++i) count += std::abs(a[i] - b[i]) > 1e-5f;
        return count;
    };
    const glm::vec3 start(0, 0, 0), away(40, 0, 0);
    const std::vector<float> here = depthFrom(land, start, false), there = depthFrom(land, away, false);
    ASSERT_GT(differing(here, there), 100000);
    EXPECT_EQ(depthFrom(land, start, true), here);
    EXPECT_EQ(depthFrom(land, start, true), here) << "copied back";
    EXPECT_EQ(depthFrom(land, away, true), there) << "the box moved";
    EXPECT_EQ(depthFrom(ground, away, true), depthFrom(ground, away, false)) << "new chunks";

    // In steps of 32 texels (9.4 units) across the straight-down sunlight the box only slides; rising
    // 45 units along the sunlight it stands still, rising 470 it steps, and every depth changes.
    master->boxStep = 32.0f * 2.0f * ShadowBox::halfExtent / static_cast<float>(frameBuffer->width);
    const std::vector<glm::vec3> walk{{0, 0, 0}, {20, 0, 0}, {35, 0, -12}, {12, 0, 30}, {12, 45, 30}, {12, 470, 30}};
    std::vector<std::vector<float>> fresh;
    for (const glm::vec3& at : walk) fresh.push_back(depthFrom(land, at, false));
    for (size_t i = 0; i < walk.size(); ++i) EXPECT_LT(differing(depthFrom(land, walk[i], true), fresh[i]), 1000) << i;
}

// Far from the origin under a slanting sun: a step across the sunlight only slides the kept landscape
// (the strips left open drawn, not the whole), an eye less than three quarters of a step from its
// centre leaves the box standing, and so does an eye 400 units along the sunlight, whose ground still
// lies within the box's depth range.
TEST_F(ShadowSceneTest, AStepAcrossTheSunlightFarFromTheOriginDrawsStripsAndTheBoxHoldsItsPlace) {
    sun = std::make_shared<DirectionalLight>(glm::vec3(-0.4f, -1.0f, 0.5f), glm::vec3(1));  // the game's
    master->light = sun;
    master->cacheTerrain = true;
    master->shadowBox->mapSize = static_cast<float>(frameBuffer->width);
    master->boxStep = 32.0f * 2.0f * ShadowBox::halfExtent / static_cast<float>(frameBuffer->width);
    std::vector<float> land, up;
    for (int i = 0; i < 64; ++i) {
        for (int j = 0; j < 64; ++j) {
            for (const glm::vec2& c : {glm::vec2(0, 1), glm::vec2(1, 1), glm::vec2(1, 0), glm::vec2(0, 1),
                                       glm::vec2(1, 0), glm::vec2(0, 0)}) {
                land.insert(land.end(), {20.0f * (float(i) + c.x), 0.0f, 20.0f * (float(j) + c.y)});
                up.insert(up.end(), {0, 1, 0});
            }
        }
    }
    const auto chunks = std::make_shared<TerrainChunks>(TerrainChunks::build(land, up, 50.0f));
    const glm::mat3 toWorld = glm::transpose(glm::mat3(lookAt(sun->position, glm::vec3(0.0f), glm::vec3(0, 0, 1))));
    const glm::vec3 centre = master->boxCentre(glm::vec3(390, 36, 380)), across = master->boxStep * toWorld[0];
    const auto drawnFrom = [&](const glm::vec3& eye) {
        camera->setTransform(eye, {-0.7853982f, 0, 0}, glm::vec3(1.0f));
        return countDuring(GL_PRIMITIVES_GENERATED, [&] {
            master->beginPass(false);
            master->renderTerrainChunks(chunks);
            master->endPass();
        });
    };
    const GLuint whole = drawnFrom(centre);
    ASSERT_GT(whole, 0u);
    EXPECT_EQ(drawnFrom(centre + 0.7f * across), 0u) << "held";
    for (int step = 1; step <= 3; ++step) {
        const GLuint strip = drawnFrom(centre + float(step) * across);
        EXPECT_TRUE(strip > 0u && strip < whole / 2) << step << ": " << strip << " of " << whole;
    }
    const glm::vec3 eye = centre + 3.0f * across + 400.0f * toWorld[2];
    EXPECT_EQ(drawnFrom(eye), 0u) << "along the sunlight";
    for (const float reach : {-master->shadowDistance, master->shadowDistance}) {
        const float depth = (master->toShadowMapSpace() * glm::vec4(eye + reach * toWorld[2], 1.0f)).z;
        EXPECT_TRUE(depth > 0.0f && depth < 1.0f) << reach << ": " << depth;
    }
}

// While the box stands still only the texels the models covered are copied back from the kept
// landscape: a box that moves on, or goes, leaves no depth behind where it stood.
TEST_F(ShadowSceneTest, ModelsOverTheKeptLandscapeLeaveNoDepthBehind) {
    const auto land = std::make_shared<TerrainChunks>(TerrainChunks::build(positions, normals, 50.0f));
    const auto box = cube({0, 0, 0});
    RenderMap casters;
    casters[int(textures[0])] = {box};
    const auto depthWith = [&](bool keep) {
        master->cacheTerrain = keep;
        master->beginPass(false);
        master->renderTerrainChunks(land);
        renderer->renderShadowMap(casters, *sun, master->shadowBox->projectionMatrix, 1000.0f);
        master->castModels(renderer->shadowCastBounds());
        master->endPass();
        std::vector<float> depth(static_cast<size_t>(frameBuffer->width) * frameBuffer->height);
        glBindTexture(GL_TEXTURE_2D, frameBuffer->depthTexture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        return depth;
    };
    const std::vector<glm::vec3> places{{-12, 6, 0}, {12, 6, 0}, {12, 6, -4}, {-20, 3, 8}};
    std::vector<std::vector<float>> fresh;
    for (const glm::vec3& at : places) {
        box->setPosition(at);
        fresh.push_back(depthWith(false));
    }
    box->visible = false;
    fresh.push_back(depthWith(false));
    box->visible = true;
    ASSERT_NE(fresh[0], fresh[1]);
    for (size_t i = 0; i <= places.size(); ++i) {
        box->visible = i < places.size();
        if (box->visible) box->setPosition(places[i]);
        EXPECT_EQ(depthWith(true), fresh[i]) << i;
    }
}

// The game's sun behind a camera looking steeply down at bare ground: no shadow anywhere along the
// view (the camera's own view volume once cast one here).
TEST_F(ShadowSceneTest, BareGroundLiesInFullSunLookingDownWithTheSunBehind) {
    const glm::vec3 direction = glm::normalize(glm::vec3(-0.4f, -1.0f, 0.5f));
    sun = std::make_shared<DirectionalLight>(direction, glm::vec3(1));
    master->light = sun;
    addLight(terrain, *sun, 0);
    const glm::vec3 ahead = glm::normalize(glm::vec3(direction.x, 0, direction.z));
    const glm::vec3 below = -30.0f * ahead;
    camera->setTransform(below + glm::vec3(0, 30, 0), {-1.0f, std::atan2(-ahead.x, -ahead.z), 0}, glm::vec3(1.0f));
    std::vector<glm::vec3> points;
    for (float distance : {5.0f, 10.0f, 20.0f, 30.0f, 40.0f}) points.push_back(below + distance * ahead);
    const std::vector<int> light = renderAndSample({}, points);
    EXPECT_GT(*std::min_element(light.begin(), light.end()), 0.9f * *std::max_element(light.begin(), light.end()));
}

}  // namespace
