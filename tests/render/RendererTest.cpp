#include "render/Renderer.h"

#include "app/Globals.h"
#include "app/Settings.h"
#include "effects/GuiObject.h"
#include "render/Camera.h"
#include "render/DirectionalLight.h"
#include "render/Light.h"
#include "render/TexturedShader.h"
#include "render/VaoLoader.h"
#include "support/GlContext.h"
#include "support/GlProbes.h"
#include "support/OffscreenTarget.h"
#include "terrain/AdvancedTerrainShader.h"

#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

namespace {

using testsupport::countDuring;
using testsupport::Pixel;
using testsupport::solidTexture;

constexpr int kTargetSize = 32;

// A small off-screen colour and depth target, bound with its viewport while alive.
struct Target : testsupport::OffscreenTarget {
    Target() : OffscreenTarget(kTargetSize) {}
};

class RendererTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        camera = std::make_shared<Camera>(1.0f);  // at the origin, looking along -z
        camera->updateFrustum(0.0f);
        renderer = std::make_shared<Renderer>(camera);
        // Programs other parts of the game provide may not build in this checkout; their errors are
        // not this test's business.
        while (glGetError() != GL_NO_ERROR) {}
        cullingEnabled = true;
        culledObjectCount = 0;
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);

        white = solidTexture({255, 255, 255, 255});
        // A 2 x 2 quad facing +z, its two triangles repeated four times: copies drawing 1, 2, 4 or 8
        // triangles tell by the primitive count which of them were drawn.
        std::vector<unsigned int> indices;
        for (int i = 0; i < 4; ++i) indices.insert(indices.end(), {0, 1, 2, 0, 2, 3});
        model = loadIndexedToVAO({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}, {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1},
                                 indices, {0, 0, 1, 0, 1, 1, 0, 1});
        model->material = std::make_shared<Material>(white, 1.0f, 0.0f, false);
    }
    void TearDown() override {
        cullingEnabled = true;
        glDeleteTextures(1, &white);
        EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
    }

    std::shared_ptr<TexturedMesh> copyAt(const glm::vec3& position, int triangles) {
        auto mesh = copyMesh(model);
        mesh->setPosition(position);
        mesh->vertexCount = 3 * triangles;
        return mesh;
    }

    GLuint entityTriangles(const RenderMap& batches, float maxDistance) {
        return countDuring(GL_PRIMITIVES_GENERATED, [&] { renderer->renderEntities(batches, maxDistance); });
    }
    GLuint shadowTriangles(const RenderMap& batches) {
        const DirectionalLight sun({0, -1, 0}, {1, 1, 1});
        return countDuring(GL_PRIMITIVES_GENERATED,
                           [&] { renderer->renderShadowMap(batches, sun, glm::mat4(1.0f), 1000.0f); });
    }

    std::shared_ptr<Camera> camera;
    std::shared_ptr<Renderer> renderer;
    std::shared_ptr<TexturedMesh> model;
    GLuint white = 0;
};

TEST_F(RendererTest, DistanceLimitIsStrictAndCappedAt200) {
    RenderMap batches;
    batches[int(white)] = {copyAt({0, 0, -10}, 1),    // near, in view
                           copyAt({0, 0, 10}, 2),     // near, behind the camera
                           copyAt({0, 0, -200}, 4),   // exactly at the limit
                           copyAt({0, 0, -199}, 8)};  // just inside it

    EXPECT_EQ(1u + 8u, entityTriangles(batches, 1000.0f));
    EXPECT_EQ(1, culledObjectCount) << "only the near mesh behind the camera is rejected by the frustum";

    EXPECT_EQ(1u, entityTriangles(batches, 150.0f)) << "a smaller pass distance lowers the limit";

    cullingEnabled = false;
    EXPECT_EQ(15u, entityTriangles(batches, 1000.0f)) << "without culling everything visible is drawn";
}

TEST_F(RendererTest, HiddenMeshesAreNeverDrawnNorCounted) {
    RenderMap batches;
    auto hidden = copyAt({0, 0, 10}, 2);
    hidden->visible = false;
    auto hiddenFar = copyAt({0, 0, -500}, 4);
    hiddenFar->visible = false;
    batches[int(white)] = {copyAt({0, 0, -10}, 1), hidden, hiddenFar};

    EXPECT_EQ(1u, entityTriangles(batches, 400.0f));
    EXPECT_EQ(0, culledObjectCount);
    cullingEnabled = false;
    EXPECT_EQ(1u, entityTriangles(batches, 400.0f));
    EXPECT_EQ(1u, shadowTriangles(batches));
}

TEST_F(RendererTest, ShadowMapIgnoresTheCullingSwitch) {
    RenderMap batches;
    batches[int(white)] = {copyAt({0, 0, -10}, 1), copyAt({0, 0, 10}, 2), copyAt({0, 0, -300}, 4),
                           copyAt({50, 0, -150}, 8)};
    cullingEnabled = false;
    EXPECT_EQ(15u, entityTriangles(batches, 1000.0f));
    EXPECT_EQ(1u + 8u, shadowTriangles(batches)) << "behind the camera or beyond the limit casts nothing";
    cullingEnabled = true;
    EXPECT_EQ(1u + 8u, shadowTriangles(batches));

    // The pass leaves the caster state behind it tidy.
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint vertexArray = -1, enabled = 1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    EXPECT_EQ(0, vertexArray);
    glBindVertexArray(model->vaoId);
    glGetVertexAttribiv(1, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    glBindVertexArray(0);
    EXPECT_EQ(0, enabled);
}

TEST_F(RendererTest, EmptyBatchesAreSkipped) {
    RenderMap batches;
    batches[int(white)] = {};
    batches[int(white) + 1000] = {copyAt({0, 0, -10}, 1)};
    EXPECT_EQ(1u, entityTriangles(batches, 400.0f));
    EXPECT_EQ(1u, shadowTriangles(batches));
}

TEST_F(RendererTest, ModelsSharingATextureAreEachDrawnThroughTheirOwnVertexArray) {
    // Two models under one texture, as the rabbit's and the flying rabbit's bodies are: a square left
    // of the centre and one right of it, each with its own vertex array.
    auto square = [&](float left, float right) {
        auto mesh =
            loadIndexedToVAO({left, -1, 0, right, -1, 0, right, 1, 0, left, 1, 0}, {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1},
                             {0, 1, 2, 0, 2, 3}, {0, 0, 1, 0, 1, 1, 0, 1});
        mesh->material = model->material;
        mesh->setPosition({0, 0, -3});
        return mesh;
    };
    RenderMap batches;
    batches[int(white)] = {square(-1.0f, -0.2f), square(0.2f, 1.0f)};
    Target target;
    renderer->renderEntities(batches, 400.0f);
    EXPECT_GT(target.at(10, 16)[0], 0);
    EXPECT_GT(target.at(22, 16)[0], 0) << "the second model is drawn where it is, not as the first";

    // The shadow pass, seen here through the camera, draws both into the depth buffer too.
    target.clear();
    DirectionalLight sun({0, -1, 0}, {1, 1, 1});
    sun.viewMatrix = camera->getViewMatrix();
    glEnable(GL_DEPTH_TEST);
    renderer->renderShadowMap(batches, sun, camera->getProjectionMatrix(), 1000.0f);
    float depth[2] = {1.0f, 1.0f};
    glReadPixels(10, 16, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth[0]);
    glReadPixels(22, 16, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth[1]);
    glDisable(GL_DEPTH_TEST);
    EXPECT_LT(depth[0], 1.0f);
    EXPECT_LT(depth[1], 1.0f);
}

TEST_F(RendererTest, TransparentBatchesShowBackFacesAndCullingReturnsAfter) {
    Target target;
    // Turned half round, the quad shows the camera its back.
    auto turnedAway = copyAt({0, 0, -5}, 2);
    turnedAway->setRotation({0, 3.14159265f, 0});
    RenderMap batches;
    batches[int(white)] = {turnedAway};

    auto samples = [&] {
        target.clear();
        return countDuring(GL_SAMPLES_PASSED, [&] { renderer->renderEntities(batches, 400.0f); });
    };
    EXPECT_EQ(0u, samples()) << "opaque batches cull back faces";

    model->material->hasTransparency = true;
    EXPECT_GT(samples(), 0u);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));

    glDisable(GL_CULL_FACE);
    model->material->hasTransparency = false;
    renderer->renderEntities(batches, 400.0f);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE)) << "culling is on after every batch";
}

TEST_F(RendererTest, LowShineDamperGivesAHighlightNotAWhiteOut) {
    Target target;
    const GLuint grey = solidTexture({128, 128, 128, 255});
    model->material = std::make_shared<Material>(grey, 1.0f, 1.0f, false);
    RenderMap batches;
    batches[int(grey)] = {copyAt({0, 0, -3}, 2)};

    // The sun comes in at 45 degrees; the camera looks at the quad head-on.
    std::shared_ptr<TexturedShader> shader = TexturedShader::getInstance();
    addLight(*shader, DirectionalLight({-1, 0, -1}, {1, 1, 1}), 0);
    glUniform1i(shader->numberOfLightsLocation, 1);

    renderer->renderEntities(batches, 400.0f);
    const Pixel shiny = target.centre();
    model->material->reflectivity = 0.0f;
    target.clear();
    renderer->renderEntities(batches, 400.0f);
    const Pixel matte = target.centre();
    glDeleteTextures(1, &grey);

    EXPECT_NEAR(matte[0], 128 * 0.7071, 4);
    EXPECT_GT(shiny[0], matte[0] + 20) << "there is a highlight";
    EXPECT_LT(shiny[0], 200) << "but it is narrow: off its centre the grey still shows";
}

TEST_F(RendererTest, GuiImagesAreBlendedOverTheSceneInListOrder) {
    Target target;
    const GLuint red = solidTexture({255, 0, 0, 255});
    const GLuint halfGreen = solidTexture({0, 255, 0, 128});
    auto image = [](GLuint texture, const glm::vec3& position, float scale) {
        auto object = std::make_shared<GuiObject>();
        object->texture = texture;
        object->position = position;
        object->scale = glm::vec3(scale, scale, 1.0f);
        return object;
    };
    // The red image covers the top-right quarter; the half-transparent green one sits on its centre.
    glEnable(GL_DEPTH_TEST);
    renderer->renderGui({image(red, {0.5f, 0.5f, 0}, 0.5f), image(halfGreen, {0.5f, 0.5f, 0}, 0.125f)});
    const Pixel blended = target.at(24, 24), redOnly = target.at(18, 18), outside = target.at(8, 8);
    glDeleteTextures(1, &red);
    glDeleteTextures(1, &halfGreen);

    EXPECT_NEAR(blended[0], 127, 3);
    EXPECT_NEAR(blended[1], 128, 3);
    EXPECT_EQ(255, redOnly[0]);
    EXPECT_EQ(0, redOnly[1]);
    EXPECT_EQ(0, outside[0]);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

// The terrain program drawn through prepareTerrain and renderArray, with a texture array whose sand
// layers are red and whose jade layers are green.
class TerrainProgramTest : public RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        terrain = std::make_shared<AdvancedTerrainShader>();
        terrain->init();
        glUniform1i(glGetUniformLocation(terrain->programId, "tex"), 0);
        glUniform1i(glGetUniformLocation(terrain->programId, "shadowMap"), 1);
        addLight(*terrain, DirectionalLight({0, -1, 0}, {1, 1, 1}), 0);
        glUniform1i(terrain->numberOfLightsLocation, 1);
        renderer->skyColor = {0, 0, 1};

        const unsigned char layers[4][4] = {{255, 0, 0, 255}, {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 255, 0, 255}};
        glGenTextures(1, &array);
        glBindTexture(GL_TEXTURE_2D_ARRAY, array);
        glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA8, 1, 1, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, layers);
        glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
    }
    void TearDown() override {
        glDeleteTextures(1, &array);
        glDisable(GL_CLIP_DISTANCE0);
        RendererTest::TearDown();
    }

    // A square of 2 * `half` centred at `centre`, facing along `normal` (+y or +z).
    static std::shared_ptr<TexturedMesh> square(const glm::vec3& centre, const glm::vec3& normal, float half = 5.0f) {
        const glm::vec3 u(1, 0, 0);
        const glm::vec3 v = glm::cross(normal, u);  // u x v = normal keeps the front towards `normal`
        const glm::vec3 a = centre - half * (u + v), b = centre + half * (u - v), c = centre + half * (u + v),
                        d = centre - half * (u - v);
        std::vector<float> positions, normals;
        for (const glm::vec3& p : {a, b, c, a, c, d}) {
            positions.insert(positions.end(), {p.x, p.y, p.z});
            normals.insert(normals.end(), {normal.x, normal.y, normal.z});
        }
        return loadToVAO(positions, normals);
    }

    Pixel draw(const TexturedMesh& mesh, const glm::vec4& clip = {0, -1, 0, 10000}) {
        Target target;
        renderer->prepareTerrain(mesh, *terrain);
        glUniform4fv(glGetUniformLocation(terrain->programId, "clipplane"), 1, glm::value_ptr(clip));
        glEnable(GL_CLIP_DISTANCE0);
        renderer->renderArray(mesh, terrain->programId, array);
        glDisable(GL_CLIP_DISTANCE0);
        EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
        return target.centre();
    }

    void lookDownFrom(const glm::vec3& position) {
        camera->setPosition(position);
        camera->setRotation({-1.5707963f, 0, 0});
    }

    std::shared_ptr<AdvancedTerrainShader> terrain;
    GLuint array = 0;
};

TEST_F(TerrainProgramTest, SandOnLowLevelGroundJadeOnHeightsAndCliffs) {
    lookDownFrom({0, 15, 0});
    const Pixel beach = draw(*square({0, 6, 0}, {0, 1, 0}));
    EXPECT_GT(beach[0], 240);
    EXPECT_LT(beach[1], 15);

    lookDownFrom({0, 70, 0});
    const Pixel hilltop = draw(*square({0, 60, 0}, {0, 1, 0}));
    EXPECT_LT(hilltop[0], 15);
    EXPECT_GT(hilltop[1], 240);

    camera->setPosition({0, 6, 10});  // facing a cliff at sea level that the sun only grazes
    camera->setRotation({0, 0, 0});
    const Pixel cliff = draw(*square({0, 6, 0}, {0, 0, 1}));
    EXPECT_LT(cliff[0], 15);
    EXPECT_NEAR(cliff[1], 0.3 * 255, 6) << "jade, in ambient light only";
}

TEST_F(TerrainProgramTest, FogClipPlaneAndBrightness) {
    lookDownFrom({0, 906, 0});
    const Pixel far = draw(*square({0, 6, 0}, {0, 1, 0}, 100.0f));
    EXPECT_LT(far[0], 10);
    EXPECT_GT(far[2], 240) << "the sky colour takes over in the distance";

    lookDownFrom({0, 15, 0});
    const Pixel clipped = draw(*square({0, 6, 0}, {0, 1, 0}), {0, -1, 0, 4});  // keeps y < 4 only
    EXPECT_EQ(0, clipped[0]);

    const float brightness = settings.brightness;
    settings.brightness = 0.5f;
    const Pixel dim = draw(*square({0, 6, 0}, {0, 1, 0}));
    settings.brightness = brightness;
    EXPECT_NEAR(dim[0], 128, 4);
}

}  // namespace
