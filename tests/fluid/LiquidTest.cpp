#include "fluid/Liquid.h"

#include "app/Globals.h"
#include "fluid/Cell.h"
#include "fluid/MetaBallSolver.h"
#include "fluid/BlobbyShader.h"
#include "render/Camera.h"
#include "render/DirectionalLight.h"
#include "render/Mesh.h"
#include "render/Renderer.h"
#include "support/GlContext.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

namespace {

const glm::ivec3 kGrid(40, 40, 40);

void expectVec(const glm::vec3& expected, const glm::vec3& actual) {
    EXPECT_FLOAT_EQ(expected.x, actual.x);
    EXPECT_FLOAT_EQ(expected.y, actual.y);
    EXPECT_FLOAT_EQ(expected.z, actual.z);
}

TEST(LiquidFlowTest, DirectionsPointDownInwardAndRestOnTheFloor) {
    expectVec({0, 0, 1}, Liquid::flowDirection(0, 0, 0, kGrid));  // floor keeps only the z push
    expectVec({1, -1, 1}, Liquid::flowDirection(0, 5, 0, kGrid));
    expectVec({-1, -1, -1}, Liquid::flowDirection(39, 5, 39, kGrid));
    expectVec({0, -1, 0}, Liquid::flowDirection(20, 20, 20, kGrid));
    expectVec({0, 0, 0}, Liquid::flowDirection(0, 0, 20, kGrid));  // x wall on the floor: still
    expectVec({0, 0, -1}, Liquid::flowDirection(39, 0, 39, kGrid));
    expectVec({0, -1, 0}, Liquid::flowDirection(20, 39, 20, kGrid));  // no ceiling push
}

TEST(LiquidFlowTest, OnePointPerColumnOfCellsIOuter) {
    const std::vector<float> points = Liquid::columnPoints(kGrid);
    ASSERT_EQ(points.size(), 1521u * 2u);
    EXPECT_EQ(points[0], 0.0f);
    EXPECT_EQ(points[1], 0.0f);
    EXPECT_EQ(points[2], 0.0f);  // k runs fastest
    EXPECT_EQ(points[3], 1.0f);
    EXPECT_EQ(points[points.size() - 2], 38.0f);
    EXPECT_EQ(points[points.size() - 1], 38.0f);
    EXPECT_EQ(Liquid::columnPoints({2, 2, 2}).size(), 2u);
}

// A view volume bounded by a single plane z < 0 (the other five planes let everything through).
Frustum lookingDownMinusZ() {
    Frustum frustum;
    for (glm::vec4& plane : frustum.planes) plane = glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
    frustum.planes[0] = glm::vec4(0.0f, 0.0f, -1.0f, 0.0f);
    return frustum;
}

TEST(LiquidVisibilityTest, DrawnOnlyNearerThanSeventyUnitsWithoutCountingTheFarOnes) {
    const Frustum frustum = lookingDownMinusZ();
    int culled = 0;
    EXPECT_TRUE(Liquid::isDue({0, 0, -69.9f}, 10.0f, {0, 0, 0}, frustum, culled));
    EXPECT_FALSE(Liquid::isDue({0, 0, -70.0f}, 10.0f, {0, 0, 0}, frustum, culled));
    EXPECT_FALSE(Liquid::isDue({0, 0, -500.0f}, 10.0f, {0, 0, 0}, frustum, culled));
    EXPECT_EQ(culled, 0);
}

TEST(LiquidVisibilityTest, OnlyTheFrustumRejectionCounts) {
    const Frustum frustum = lookingDownMinusZ();
    int culled = 0;
    EXPECT_FALSE(Liquid::isDue({0, 0, 5}, 10.0f, {0, 0, 0}, frustum, culled));
    EXPECT_EQ(culled, 1);
    // Spent: skipped before the distance and frustum tests, so never counted.
    EXPECT_FALSE(Liquid::isDue({0, 0, 5}, 0.0f, {0, 0, 0}, frustum, culled));
    EXPECT_FALSE(Liquid::isDue({0, 0, -5}, 0.0f, {0, 0, 0}, frustum, culled));
    EXPECT_FALSE(Liquid::isDue({0, 0, -5}, -1.0f, {0, 0, 0}, frustum, culled));
    EXPECT_EQ(culled, 1);
}

class LiquidGlTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        camera = std::make_shared<Camera>(1.0f);
        renderer = std::make_shared<Renderer>(camera);
        while (glGetError() != GL_NO_ERROR) {}
    }
    std::shared_ptr<Camera> camera;
    std::shared_ptr<Renderer> renderer;
};

TEST_F(LiquidGlTest, DefaultResolutionLaysOutTheUnitBox) {
    Liquid fountain({1, 1, 1}, {0, 0, 0}, 6.0f, {0, 0, 0}, 10.0f, 40);
    expectVec({40, 40, 40}, fountain.dimensions);
    expectVec({19.5f, 0.5f, 19.5f}, fountain.spawnPosition);
    expectVec(glm::vec3(1.0f / 40.0f), fountain.scale);
    EXPECT_EQ(fountain.surfaceMesh->vertexCount, 1521);
    ASSERT_EQ(fountain.cells.size(), 64000u);
    ASSERT_EQ(fountain.flowField.size(), 64000u);
    // Cell (0, 5, 0) sits at index 0 + 40 * 5.
    expectVec({0, 5, 0}, fountain.cells[200].position);
    EXPECT_EQ(fountain.flowField[200], glm::vec4(1, -1, 1, 0));
    EXPECT_EQ(fountain.name, "fountain");
    EXPECT_FLOAT_EQ(fountain.healCooldown, 4.0f);
    EXPECT_FLOAT_EQ(fountain.spawnRate, 10.0f);
    EXPECT_TRUE(fountain.solver->flowFieldBuffer != 0);
}

TEST_F(LiquidGlTest, TriggerBodyPointsBackAtTheFountain) {
    Liquid fountain({1, 1, 1}, {0, 0, 0}, 6.0f, {0, 0, 0}, 10.0f, 8);
    ASSERT_NE(fountain.rigidBody, nullptr);
    EXPECT_EQ(static_cast<SceneObject*>(fountain.rigidBody->getUserPointer()), &fountain);
    EXPECT_TRUE(fountain.rigidBody->getCollisionFlags() & btCollisionObject::CF_NO_CONTACT_RESPONSE);
    EXPECT_EQ(fountain.rigidBody->getActivationState(), DISABLE_DEACTIVATION);
    const btVector3 half = fountain.collisionShape->getHalfExtentsWithMargin();
    EXPECT_NEAR(half.x(), 0.5, 1e-9);
    EXPECT_NEAR(half.y(), 2.0, 1e-9);
}

TEST_F(LiquidGlTest, SurfaceDrawVisitsEveryCellOnce) {
    if (!GLEW_ARB_pipeline_statistics_query) GTEST_SKIP() << "no pipeline statistics on this driver";
    Liquid fountain({1, 1, 1}, {0, 0, 0}, 6.0f, {0, 0, 0}, 10.0f, 40);
    GLuint query = 0, vertices = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_VERTEX_SHADER_INVOCATIONS_ARB, query);
    renderer->renderFluid(*fountain.surfaceMesh, fountain.getModelMatrix(), fountain.dimensions);
    glEndQuery(GL_VERTEX_SHADER_INVOCATIONS_ARB);
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &vertices);
    glDeleteQueries(1, &query);
    EXPECT_EQ(vertices, 1521u * 39u);  // 1521 points, 39 instances
}

TEST_F(LiquidGlTest, HiddenFountainIsRedrawnButFrozen) {
    Liquid fountain({1, 1, 1}, {0, 0, 0}, 6.0f, {0, 0, 0}, 10.0f, 16);
    fountain.simulate(0.1f);
    EXPECT_EQ(fountain.solver->pointCount, 2u);
    EXPECT_FLOAT_EQ(fountain.healCooldown, 3.9f);

    fountain.visible = false;
    fountain.simulate(0.1f);
    EXPECT_EQ(fountain.solver->pointCount, 2u);
    EXPECT_FLOAT_EQ(fountain.healCooldown, 3.9f);
    EXPECT_FLOAT_EQ(fountain.age, 0.1f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(LiquidGlTest, SurfaceIsLitBlueGreenLiquid) {
    const char* names[] = {"lightPos", "lightColor",       "toLightVec", "lightType",   "shineDamper", "reflectivity",
                           "skyColor", "brightnessFactor", "dimensions", "modelMatrix", "viewMatrix"};
    const GLuint program = BlobbyShader::getInstance()->programId;
    for (const char* uniform : names) EXPECT_NE(glGetUniformLocation(program, uniform), -1) << uniform;
    DirectionalLight({-0.4f, -1.0f, 0.5f}, {1, 1, 1}).loadDirectionalLight(program);

    // A 16-point fountain half a unit wide, two units in front of the camera.
    Liquid fountain({1, 1, 1}, {0, 0, 0}, 6.0f, {0, 0, 0}, 10.0f, 16);
    fountain.setPosition({-0.5f, -0.6f, -2.0f});
    for (int frame = 0; frame < 4; ++frame) fountain.simulate(0.1f);

    GLuint framebuffer = 0, renderbuffers[2] = {0, 0};
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(2, renderbuffers);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[0]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 32, 32);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffers[0]);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[1]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, 32, 32);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, renderbuffers[1]);
    glViewport(0, 0, 32, 32);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderer->renderFluid(*fountain.surfaceMesh, fountain.getModelMatrix(), fountain.dimensions);
    std::vector<unsigned char> pixels(32 * 32 * 4);
    glReadPixels(0, 0, 32, 32, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glDeleteRenderbuffers(2, renderbuffers);
    glDeleteFramebuffers(1, &framebuffer);

    int liquid = 0, blueGreen = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        if (pixels[i] + pixels[i + 1] + pixels[i + 2] == 0) continue;
        ++liquid;
        if (pixels[i + 1] > pixels[i] && pixels[i + 2] > pixels[i]) ++blueGreen;
    }
    EXPECT_GT(liquid, 10);
    EXPECT_GT(blueGreen, liquid * 9 / 10);
}

}  // namespace
