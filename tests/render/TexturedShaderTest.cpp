#include "render/TexturedShader.h"

#include "render/DirectionalLight.h"
#include "render/PointLight.h"
#include "render/UniformMatrix.h"
#include "render/VaoLoader.h"
#include "support/GlContext.h"
#include "support/GlProbes.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace {

using testsupport::Pixel;

// Channel values within a few steps of the expected ones.
testing::AssertionResult near(const Pixel& pixel, int r, int g, int b) {
    if (std::abs(pixel[0] - r) <= 4 && std::abs(pixel[1] - g) <= 4 && std::abs(pixel[2] - b) <= 4)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "got (" << int(pixel[0]) << ", " << int(pixel[1]) << ", " << int(pixel[2])
                                       << "), want (" << r << ", " << g << ", " << b << ")";
}

// The model program on a camera-facing unit quad, lit by a white sun shining onto its face, with a
// red sky, drawn into a target cleared to blue. A program of its own, so lights count from zero.
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
    }
    void uniform(const char* name, float value) { glUniform1f(glGetUniformLocation(program.programId, name), value); }
    // The centre pixel of the quad `distance` in front of the camera, textured with `texel`.
    Pixel draw(const Pixel& texel = {255, 255, 255, 255}, float distance = 2.0f) {
        const GLuint texture = testsupport::solidTexture(texel);
        glUseProgram(program.programId);
        setMatrix(program.modelMatrixLocation, glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, -distance)));
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
    DirectionalLight sun{glm::vec3(0, 0, -1), glm::vec3(1)};
    std::shared_ptr<TexturedMesh> quad =
        loadIndexedToVAO({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}, {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1},
                         {0, 1, 2, 0, 2, 3}, {0, 0, 1, 0, 1, 1, 0, 1});
};

TEST_F(TexturedShaderTest, LightingHasAnAmbientFloorSpecularAndAttenuation) {
    EXPECT_TRUE(near(draw(), 255, 255, 255));
    EXPECT_TRUE(near(draw({128, 128, 128, 255}), 128, 128, 128));
    uniform("reflectivity", 1.0f);  // the highlight of a sun straight behind the camera saturates
    uniform("shineDamper", 10.0f);
    EXPECT_TRUE(near(draw({128, 128, 128, 255}), 255, 255, 255));
    uniform("reflectivity", 0.0f);
    glUniform1i(program.numberOfLightsLocation, 0);  // unused slots are ignored
    EXPECT_TRUE(near(draw(), 64, 64, 64)) << "the ambient floor";
    addLight(program, DirectionalLight(glm::vec3(1, 0, 0), glm::vec3(1)), 0);  // grazing
    EXPECT_TRUE(near(draw(), 64, 64, 64));
    PointLight lamp;  // one unit in front of the quad, with 1 / (1 + d^2) falloff
    lamp.color = glm::vec3(1);
    lamp.position = glm::vec3(0, 0, -1);
    lamp.attenuation = glm::vec3(1, 0, 1);
    addLight(program, lamp, 0);
    EXPECT_TRUE(near(draw(), 128, 128, 128));
    // At 45 degrees a damper of 1 gives a narrow highlight, not a wash of white over the grey.
    addLight(program, DirectionalLight(glm::vec3(-1, 0, -1), glm::vec3(1)), 0);
    const Pixel matte = draw({128, 128, 128, 255});
    EXPECT_TRUE(near(matte, 91, 91, 91));
    uniform("reflectivity", 1.0f);
    const Pixel shiny = draw({128, 128, 128, 255});
    EXPECT_TRUE(shiny[0] > matte[0] + 20 && shiny[0] < 200) << int(shiny[0]);
}

TEST_F(TexturedShaderTest, CutOutsFogBrightnessAndTheClipPlane) {
    EXPECT_TRUE(near(draw({255, 255, 255, 100}), 0, 0, 255)) << "texels under half alpha are discarded";
    EXPECT_TRUE(near(draw({255, 255, 255, 255}, 1500.0f), 255, 0, 0)) << "far away the sky colour takes over";
    const Pixel midway = draw({255, 255, 255, 255}, 300.0f);
    EXPECT_TRUE(midway[1] > 40 && midway[1] < 215) << "at 300 units the landscape still shows";
    uniform("brightnessFactor", 0.5f);
    EXPECT_TRUE(near(draw(), 128, 128, 128));
    glUniform4f(glGetUniformLocation(program.programId, "clipplane"), 0.0f, 0.0f, 1.0f, 1.0f);  // keeps z > -1
    EXPECT_TRUE(near(draw(), 0, 0, 255));
}

}  // namespace
