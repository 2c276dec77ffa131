#include "render/TexturedShader.h"

#include "render/VaoLoader.h"
#include "support/GlContext.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <array>

namespace {

// What one draw of a camera-facing unit quad sees; defaults give a white quad lit head-on by a
// white sun, near the camera, with no fog to speak of.
struct QuadScene {
    float distance = 2.0f;
    std::array<unsigned char, 4> texel{255, 255, 255, 255};
    int numberOfLights = 1;
    int lightType = 1;
    glm::vec3 lightPos{0, 0, -1};  // the sun travels away from the camera, onto the quad's face
    glm::vec3 attenuation{1, 0, 0};
    float shineDamper = 1.0f;
    float reflectivity = 0.0f;
    glm::vec3 skyColor{1, 0, 0};
    float brightnessFactor = 1.0f;
    glm::vec4 clipplane{0, 0, 0, 1};
};

class TexturedShaderTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        shader = TexturedShader::getInstance();
        quad = loadIndexedToVAO({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}, {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1},
                                {0, 1, 2, 0, 2, 3}, {0, 0, 1, 0, 1, 1, 0, 1});
    }

    GLint location(const char* name) const { return glGetUniformLocation(shader->programId, name); }

    // Draws the scene into an 8 x 8 off-screen target cleared to blue and returns the centre pixel.
    // Restores the framebuffer, viewport, clip distance, texture and program bindings.
    std::array<unsigned char, 4> render(const QuadScene& scene) {
        GLuint framebuffer = 0, colour = 0, texture = 0;
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 8, 8);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        glViewport(0, 0, 8, 8);
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);

        glActiveTexture(GL_TEXTURE0);
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, scene.texel.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);

        glUseProgram(shader->programId);
        const glm::mat4 model = glm::translate(glm::mat4(1.0f), {0, 0, -scene.distance});
        const glm::mat4 view(1.0f);
        const glm::mat4 projection = glm::ortho(-1.0f, 1.0f, -1.0f, 1.0f, 0.1f, 3000.0f);
        glUniformMatrix4fv(shader->modelMatrixLocation, 1, GL_FALSE, glm::value_ptr(model));
        glUniformMatrix4fv(shader->viewMatrixLocation, 1, GL_FALSE, glm::value_ptr(view));
        glUniformMatrix4fv(shader->projectionMatrixLocation, 1, GL_FALSE, glm::value_ptr(projection));
        glUniform1f(shader->shineDamperLocation, scene.shineDamper);
        glUniform1f(shader->reflectivityLocation, scene.reflectivity);
        glUniform3f(shader->skyColorLocation, scene.skyColor.r, scene.skyColor.g, scene.skyColor.b);
        glUniform1f(shader->brightnessFactorLocation, scene.brightnessFactor);
        glUniform1i(shader->numberOfLightsLocation, scene.numberOfLights);
        glUniform3f(location("lightPos[0]"), scene.lightPos.x, scene.lightPos.y, scene.lightPos.z);
        glUniform3f(location("lightColor[0]"), 1, 1, 1);
        glUniform3f(location("attenuation[0]"), scene.attenuation.x, scene.attenuation.y, scene.attenuation.z);
        glUniform1i(location("lightType[0]"), scene.lightType);
        glUniform4fv(location("clipplane"), 1, glm::value_ptr(scene.clipplane));
        glEnable(GL_CLIP_DISTANCE0);

        glBindVertexArray(quad->vaoId);
        for (GLuint attribute : {0u, 1u, 2u}) glEnableVertexAttribArray(attribute);
        glDrawElements(GL_TRIANGLES, quad->vertexCount, GL_UNSIGNED_INT, nullptr);
        for (GLuint attribute : {0u, 1u, 2u}) glDisableVertexAttribArray(attribute);
        glBindVertexArray(0);

        std::array<unsigned char, 4> pixel{};
        glReadPixels(4, 4, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());

        glDisable(GL_CLIP_DISTANCE0);
        glUseProgram(0);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDeleteTextures(1, &texture);
        glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteRenderbuffers(1, &colour);
        glDeleteFramebuffers(1, &framebuffer);
        EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
        return pixel;
    }

    std::shared_ptr<TexturedShader> shader;
    std::shared_ptr<TexturedMesh> quad;
};

// Channel values within a few steps of the expected ones.
::testing::AssertionResult near(const std::array<unsigned char, 4>& pixel, int r, int g, int b) {
    const int got[3] = {pixel[0], pixel[1], pixel[2]};
    const int want[3] = {r, g, b};
    for (int c = 0; c < 3; ++c) {
        if (std::abs(got[c] - want[c]) > 4) {
            return ::testing::AssertionFailure() << "got (" << got[0] << ", " << got[1] << ", " << got[2] << "), want ("
                                                 << r << ", " << g << ", " << b << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(TexturedShaderTest, SharedInstanceBindsTheModelLayoutAndKeepsItsLocations) {
    EXPECT_EQ(shader, TexturedShader::getInstance());
    GLint status = 0;
    glGetProgramiv(shader->programId, GL_LINK_STATUS, &status);
    ASSERT_EQ(GL_TRUE, status);
    EXPECT_EQ(0, glGetAttribLocation(shader->programId, "position"));
    EXPECT_EQ(1, glGetAttribLocation(shader->programId, "textureCoords"));
    EXPECT_EQ(2, glGetAttribLocation(shader->programId, "normal"));
    for (GLint kept : {shader->numberOfLightsLocation, shader->modelMatrixLocation, shader->viewMatrixLocation,
                       shader->projectionMatrixLocation, shader->shineDamperLocation, shader->reflectivityLocation,
                       shader->skyColorLocation, shader->brightnessFactorLocation}) {
        EXPECT_NE(-1, kept);
    }
    // Slots 0 to 3 exist for every light array the lights write.
    for (const char* name : {"lightPos[3]", "lightColor[3]", "attenuation[3]", "lightType[3]", "clipplane"}) {
        EXPECT_NE(-1, location(name)) << name;
    }
}

TEST_F(TexturedShaderTest, LightingHasAnAmbientFloorSpecularAndAttenuation) {
    QuadScene scene;
    EXPECT_TRUE(near(render(scene), 255, 255, 255));

    scene.lightPos = {1, 0, 0};  // grazing: only the ambient floor is left
    EXPECT_TRUE(near(render(scene), 64, 64, 64));

    scene.numberOfLights = 0;  // unused slots are ignored
    scene.lightPos = {0, 0, -1};
    EXPECT_TRUE(near(render(scene), 64, 64, 64));

    QuadScene grey;
    grey.texel = {128, 128, 128, 255};
    EXPECT_TRUE(near(render(grey), 128, 128, 128));
    grey.reflectivity = 1.0f;  // the highlight of a sun straight behind the camera saturates
    grey.shineDamper = 10.0f;
    EXPECT_TRUE(near(render(grey), 255, 255, 255));

    QuadScene lamp;  // a point light one unit in front of the quad, with 1 / (1 + d^2) falloff
    lamp.lightType = 0;
    lamp.lightPos = {0, 0, -1};
    lamp.attenuation = {1, 0, 1};
    EXPECT_TRUE(near(render(lamp), 128, 128, 128));
}

TEST_F(TexturedShaderTest, TransparencyFogBrightnessAndClipping) {
    QuadScene scene;
    scene.texel = {255, 255, 255, 100};
    EXPECT_TRUE(near(render(scene), 0, 0, 255)) << "fragments under half alpha are discarded";

    scene = QuadScene();
    scene.distance = 1500.0f;
    EXPECT_TRUE(near(render(scene), 255, 0, 0)) << "far away the sky colour takes over";
    scene.distance = 150.0f;
    const auto midway = render(scene);
    EXPECT_GT(midway[1], 40) << "at 150 units the model still shows";
    EXPECT_LT(midway[1], 215);
    scene.distance = 195.0f;  // the renderer draws no model 200 units away or more: none may pop out
    EXPECT_TRUE(near(render(scene), 255, 0, 0)) << "models sink fully into the fog before the cut";

    scene = QuadScene();
    scene.brightnessFactor = 0.5f;
    EXPECT_TRUE(near(render(scene), 128, 128, 128));

    scene = QuadScene();
    scene.clipplane = {0, 0, 1, 1};  // keeps z > -1 only; the quad is at z = -2
    EXPECT_TRUE(near(render(scene), 0, 0, 255));
}

}  // namespace
