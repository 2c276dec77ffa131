#include "app/Globals.h"
#include "render/Camera.h"
#include "render/DirectionalLight.h"
#include "render/Light.h"
#include "render/LookAt.h"
#include "render/Renderer.h"
#include "render/ShadowBox.h"
#include "render/ShadowFrameBuffer.h"
#include "render/ShadowMaster.h"
#include "render/VaoLoader.h"
#include "support/GlContext.h"
#include "support/OffscreenTarget.h"
#include "terrain/AdvancedTerrainShader.h"

#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

glm::vec3 transform(const glm::mat4& m, const glm::vec3& p) {
    const glm::vec4 q = m * glm::vec4(p, 1.0f);
    return glm::vec3(q) / q.w;
}

void expectNear(const glm::vec3& want, const glm::vec3& got, float tolerance) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(want[i], got[i], tolerance) << "component " << i;
}

// The game's sun, travelling down and a little sideways.
const glm::vec3 sunDirection = glm::normalize(glm::vec3(-0.4f, -1.0f, 0.5f));

TEST(LookAt, HandComputedView) {
    // From 10 above the origin looking down, with +z as up: x turns to -x, z becomes up on screen.
    const glm::mat4 view = lookAt({0, 10, 0}, {0, 0, 0}, {0, 0, 1});
    expectNear({0, 0, 0}, transform(view, {0, 10, 0}), 1e-6f);
    expectNear({0, 0, -10}, transform(view, {0, 0, 0}), 1e-6f);
    expectNear({-1, 0, -10}, transform(view, {1, 0, 0}), 1e-6f);
    expectNear({0, 1, -10}, transform(view, {0, 0, 1}), 1e-6f);

    // An oblique eye: the target lies straight ahead at the eye distance, up stays up.
    const glm::mat4 oblique = lookAt({3, 4, 12}, {0, 0, 0}, {0, 1, 0});
    expectNear({0, 0, -13}, transform(oblique, {0, 0, 0}), 1e-5f);
    EXPECT_GT(transform(oblique, {0, 1, 0}).y, 0.0f);
}

// The light view the shadow pass builds around a frustum centre.
glm::mat4 lightViewAt(const glm::vec3& centre) { return lookAt(centre + sunDirection, centre, {0, 0, 1}); }

TEST(ShadowBox, SnapsTheWorldOriginToATexelCorner) {
    for (const glm::vec3& centre : {glm::vec3(0.3f, 7.1f, -2.9f), glm::vec3(123.456f, 40.2f, 611.7f),
                                    glm::vec3(401.17f, 12.5f, 250.03f), glm::vec3(799.9f, 88.8f, 0.77f)}) {
        Frustum frustum;
        frustum.centre = centre;
        const glm::mat4 lightView = lightViewAt(centre);
        ShadowBox box;
        box.update(frustum, lightView);
        const glm::mat4 m = box.projectionMatrix * lightView;
        const float ox = m[3][0] * 4096.0f / 2.0f, oy = m[3][1] * 4096.0f / 2.0f;
        EXPECT_NEAR(std::round(ox), ox, 0.02f) << "centre x " << centre.x;
        EXPECT_NEAR(std::round(oy), oy, 0.02f) << "centre x " << centre.x;

        // The box is centred on the frustum centre (up to the snap of less than a texel); its depth
        // range is the light-space one mirrored, a unit or two off centre.
        const glm::vec3 mapped = transform(m, centre);
        EXPECT_NEAR(0.0f, mapped.x, 2.0f / 4096.0f + 1e-4f);
        EXPECT_NEAR(0.0f, mapped.y, 2.0f / 4096.0f + 1e-4f);
        EXPECT_NEAR(0.0f, mapped.z, 0.05f);
        // Points towards the sun get the smaller depth, so the default depth test keeps the caster.
        EXPECT_LT(transform(m, centre - 20.0f * sunDirection).z, transform(m, centre + 20.0f * sunDirection).z);
        // The surroundings of the centre are inside the box.
        for (const glm::vec3& offset : {glm::vec3(60, 0, 0), glm::vec3(0, 0, -60), glm::vec3(0, 60, 0)}) {
            const glm::vec3 p = transform(m, centre + offset);
            EXPECT_LE(std::abs(p.x), 1.0f);
            EXPECT_LE(std::abs(p.y), 1.0f);
            EXPECT_LE(std::abs(p.z), 1.0f);
        }
    }
}

class ShadowGlTest : public testsupport::GlTest {};

TEST_F(ShadowGlTest, FrameBufferHoldsAComparingDepthTexture) {
    GLint viewport[4];
    glViewport(0, 0, 40, 30);
    GLuint texture = 0;
    {
        ShadowFrameBuffer buffer(256, 128, 40, 30);
        texture = buffer.depthTexture;
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(40, viewport[2]);
        EXPECT_EQ(30, viewport[3]);
        GLint bound = -1;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        EXPECT_EQ(0, bound);

        glBindTexture(GL_TEXTURE_2D, texture);
        GLint width = 0, height = 0, mode = 0, func = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, &mode);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, &func);
        glBindTexture(GL_TEXTURE_2D, 0);
        EXPECT_EQ(256, width);
        EXPECT_EQ(128, height);
        EXPECT_EQ(GL_COMPARE_REF_TO_TEXTURE, mode);
        EXPECT_EQ(GL_LEQUAL, func);

        buffer.bindFrameBuffer();
        EXPECT_EQ(GLenum(GL_FRAMEBUFFER_COMPLETE), glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER));
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(256, viewport[2]);
        EXPECT_EQ(128, viewport[3]);
        buffer.unbindFrameBuffer();
    }
    EXPECT_FALSE(glIsTexture(texture)) << "the destructor frees the texture";
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

// A small scene lit straight from above: a 120 x 120 ground square at y = 0 that doubles as the
// terrain, looked at from above and in front.
class ShadowSceneTest : public testsupport::GlTest {
protected:
    static constexpr int viewSize = 64;

    void SetUp() override {
        GlTest::SetUp();
        camera = std::make_shared<Camera>(1.0f);
        camera->setPosition({0, 30, 30});
        camera->setRotation({-0.7853982f, 0, 0});
        renderer = std::make_shared<Renderer>(camera);
        frameBuffer = std::make_shared<ShadowFrameBuffer>(1024, 1024, viewSize, viewSize);
        renderer->shadowMapTexture = frameBuffer->depthTexture;
        renderer->shadowMapSize = frameBuffer->width;
        master = std::make_shared<ShadowMaster>(camera, renderer, frameBuffer);
        sun = std::make_shared<DirectionalLight>(glm::vec3(0, -1, 0), glm::vec3(1, 1, 1));
        master->light = sun;
        // Programs other parts of the game provide may not build in this checkout; their errors are
        // not this test's business.
        while (glGetError() != GL_NO_ERROR) {}

        terrain = std::make_shared<AdvancedTerrainShader>();
        terrain->init();
        glUniform1i(glGetUniformLocation(terrain->programId, "tex"), 0);
        glUniform1i(glGetUniformLocation(terrain->programId, "shadowMap"), 1);
        addLight(*terrain, *sun, 0);
        glUniform1i(terrain->numberOfLightsLocation, 1);

        const unsigned char whiteLayers[4][4] = {
            {255, 255, 255, 255}, {255, 255, 255, 255}, {255, 255, 255, 255}, {255, 255, 255, 255}};
        glGenTextures(1, &layers);
        glBindTexture(GL_TEXTURE_2D_ARRAY, layers);
        glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA8, 1, 1, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, whiteLayers);
        glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
        opaque = texture(255);
        cutOut = texture(0);

        // The ground, plus a 6 x 6 ledge at y = 8 over (0, -15) facing up.
        std::vector<float> positions, normals;
        auto addSquare = [&](float x, float y, float z, float half) {
            const glm::vec3 corners[] = {{x - half, y, z + half}, {x + half, y, z + half}, {x + half, y, z - half},
                                         {x - half, y, z + half}, {x + half, y, z - half}, {x - half, y, z - half}};
            for (const glm::vec3& p : corners) {
                positions.insert(positions.end(), {p.x, p.y, p.z});
                normals.insert(normals.end(), {0, 1, 0});
            }
        };
        addSquare(0, 0, 0, 60);
        addSquare(0, 8, -15, 3);
        ground = loadToVAO(positions, normals);
    }

    void TearDown() override {
        glDeleteTextures(1, &layers);
        glDeleteTextures(1, &opaque);
        glDeleteTextures(1, &cutOut);
    }

    static GLuint texture(unsigned char alpha) {
        const unsigned char texel[4] = {255, 255, 255, alpha};
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glBindTexture(GL_TEXTURE_2D, 0);
        return name;
    }

    // A 6 x 6 x 6 cube centred at `centre`, textured with `textureId`.
    static std::shared_ptr<TexturedMesh> cube(const glm::vec3& centre, GLuint textureId) {
        std::vector<float> positions, normals, uvs;
        for (int i = 0; i < 8; ++i) {
            positions.insert(positions.end(), {i & 1 ? 3.0f : -3.0f, i & 2 ? 3.0f : -3.0f, i & 4 ? 3.0f : -3.0f});
            normals.insert(normals.end(), {0, 1, 0});
            uvs.insert(uvs.end(), {0.5f, 0.5f});
        }
        const std::vector<unsigned int> indices{0, 1, 3, 0, 3, 2, 4, 6, 7, 4, 7, 5, 0, 4, 5, 0, 5, 1,
                                                2, 3, 7, 2, 7, 6, 0, 2, 6, 0, 6, 4, 1, 5, 7, 1, 7, 3};
        auto mesh = loadIndexedToVAO(positions, normals, indices, uvs);
        mesh->material = std::make_shared<Material>(textureId);
        mesh->setPosition(centre);
        return mesh;
    }

    // The whole shadow pass, then the ground drawn with the terrain program into a fresh target;
    // returns the brightness (red channel) at the given ground points.
    std::vector<int> renderAndSample(const RenderMap& casters, const std::vector<glm::vec3>& points) {
        master->render();
        renderer->renderShadowMap(casters, *sun, master->shadowBox->projectionMatrix, 1000.0f);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, cutOut);  // whatever the models left on unit 0 must not matter
        master->renderTerrain(*ground);
        master->endPass();
        master->loadShadowUniforms(terrain->programId);
        camera->updateFrustum(0.0f);

        testsupport::OffscreenTarget target(viewSize);
        renderer->prepareTerrain(*ground, *terrain);
        renderer->renderArray(*ground, terrain->programId, layers);

        const glm::mat4 toScreen = camera->getProjectionMatrix() * camera->getViewMatrix();
        std::vector<int> brightness;
        for (const glm::vec3& p : points) {
            const glm::vec3 ndc = transform(toScreen, p);
            brightness.push_back(
                target.at(int((ndc.x + 1.0f) * 0.5f * viewSize), int((ndc.y + 1.0f) * 0.5f * viewSize))[0]);
        }
        EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
        return brightness;
    }

    std::shared_ptr<Camera> camera;
    std::shared_ptr<Renderer> renderer;
    std::shared_ptr<ShadowFrameBuffer> frameBuffer;
    std::shared_ptr<ShadowMaster> master;
    std::shared_ptr<DirectionalLight> sun;
    std::shared_ptr<AdvancedTerrainShader> terrain;
    std::shared_ptr<TexturedMesh> ground;
    GLuint layers = 0, opaque = 0, cutOut = 0;
};

TEST_F(ShadowSceneTest, BoxesAndLedgesShadowTheGroundCutOutsDoNot) {
    RenderMap casters;
    casters[int(opaque)] = {cube({-12, 6, 0}, opaque)};
    casters[int(cutOut)] = {cube({12, 6, 0}, cutOut)};
    const auto light = renderAndSample(casters, {{-12, 0, 0}, {12, 0, 0}, {0, 0, -15}, {0, 0, 5}, {-20, 0, 8}});
    const int underBox = light[0], underCutOut = light[1], underLedge = light[2], open = light[3], open2 = light[4];

    EXPECT_GT(open, 230) << "flat ground in full sun does not shadow itself";
    EXPECT_GT(open2, 230);
    EXPECT_LT(underBox, 100) << "the box's shadow falls straight down";
    EXPECT_LT(underLedge, 100) << "the terrain shadows itself";
    EXPECT_GT(underCutOut, 230) << "fully cut-out texels cast no shadow";
}

TEST_F(ShadowSceneTest, BareGroundLiesInFullSunLookingDownWithTheSunBehind) {
    // The game's sun behind the camera, which looks steeply down: nothing but the ground, so no shadow
    // anywhere along the view (the camera's own view volume once cast one here).
    sun = std::make_shared<DirectionalLight>(sunDirection, glm::vec3(1, 1, 1));
    master->light = sun;
    addLight(*terrain, *sun, 0);
    const glm::vec3 ahead = glm::normalize(glm::vec3(sunDirection.x, 0, sunDirection.z));
    const glm::vec3 below = -30.0f * ahead;
    camera->setPosition(below + glm::vec3(0, 30, 0));
    camera->setRotation({-1.0f, std::atan2(-ahead.x, -ahead.z), 0});
    std::vector<glm::vec3> points;
    for (float distance : {5.0f, 10.0f, 20.0f, 30.0f, 40.0f}) points.push_back(below + distance * ahead);
    const auto light = renderAndSample({}, points);
    const auto [darkest, brightest] = std::minmax_element(light.begin(), light.end());
    EXPECT_GT(*darkest, 0.9f * *brightest);
}

TEST_F(ShadowSceneTest, ShadowsFadeOutTowardsTheShadowDistance) {
    RenderMap casters;
    casters[int(opaque)] = {cube({-12, 6, 0}, opaque)};
    master->shadowDistance = 10.0f;  // the box's shadow lies about 40 units from the camera
    EXPECT_GT(renderAndSample(casters, {{-12, 0, 0}})[0], 230);
}

TEST_F(ShadowSceneTest, NothingBeyondTheShadowDistanceCastsEvenWithCullingOff) {
    const glm::vec3 forward = glm::normalize(glm::vec3(0, -1, -1));
    RenderMap casters;
    casters[int(opaque)] = {cube(camera->position + 90.0f * forward, opaque),
                            cube(camera->position + 150.0f * forward, opaque)};
    cullingEnabled = false;
    master->render();
    GLuint query = 0, triangles = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    renderer->renderShadowMap(casters, *sun, master->shadowBox->projectionMatrix, 1000.0f);
    glEndQuery(GL_PRIMITIVES_GENERATED);
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &triangles);
    glDeleteQueries(1, &query);
    master->endPass();
    cullingEnabled = true;
    EXPECT_EQ(12u, triangles) << "only the cube within 100 units is drawn";
}

TEST_F(ShadowSceneTest, BoxIsStableForAFixedCameraAndSun) {
    master->render();
    const glm::mat4 projection = master->shadowBox->projectionMatrix;
    const glm::mat4 view = sun->viewMatrix;
    expectNear({0, 0, -1}, transform(view, camera->frustum.centre), 1e-4f);
    EXPECT_NEAR(100.0f, glm::distance(camera->frustum.centre, camera->position) * 2.0f, 1.0f)
        << "the frustum is cut at the shadow distance";
    const glm::vec3 mapped = transform(master->toShadowMapSpace(), camera->frustum.centre);
    EXPECT_NEAR(0.5f, mapped.x, 1e-3f);
    EXPECT_NEAR(0.5f, mapped.y, 1e-3f);
    EXPECT_NEAR(0.5f, mapped.z, 0.05f);

    master->render();
    EXPECT_EQ(projection, master->shadowBox->projectionMatrix);
    EXPECT_EQ(view, sun->viewMatrix);
    master->endPass();
    camera->updateFrustum(0.0f);

    master->light.reset();  // nothing to aim without a sun; the pass is skipped
    master->render();
    master->endPass();
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

}  // namespace
