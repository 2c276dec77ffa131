#include "render/DirectionalLight.h"
#include "render/PointLight.h"
#include "render/TexturedShader.h"

#include "support/GlContext.h"

#include <gtest/gtest.h>

namespace {

TEST(DirectionalLight, StoresTheNormalizedDirection) {
    const DirectionalLight sun(glm::vec3(0, -2, 0), glm::vec3(1, 1, 1));
    EXPECT_EQ(sun.position, glm::vec3(0, -1, 0));
    EXPECT_EQ(sun.attenuation, glm::vec3(1, 0, 0));
    EXPECT_EQ(sun.viewMatrix, glm::mat4(1.0f));
}

class LightSlots : public testsupport::GlTest {
protected:
    glm::vec3 uniformVec3(GLuint program, const char* name) {
        glm::vec3 v(-99.0f);
        glGetUniformfv(program, glGetUniformLocation(program, name), &v.x);
        return v;
    }
    int uniformInt(GLuint program, const char* name) {
        int v = -99;
        glGetUniformiv(program, glGetUniformLocation(program, name), &v);
        return v;
    }
};

TEST_F(LightSlots, AddLightCountsNewSlotsOnlyAndWritesEachElement) {
    // A private program, so the process-wide one keeps its own count.
    TexturedShader program;
    program.init();
    const DirectionalLight sun(glm::vec3(-0.4f, -1.0f, 0.5f), glm::vec3(1, 1, 1));
    PointLight lamp;
    lamp.position = glm::vec3(400, 20, 400);
    lamp.color = glm::vec3(0.6f, 0.9f, 1.0f);
    lamp.attenuation = glm::vec3(1.0f, 0.01f, 0.1f);

    addLight(program, sun, 0);
    addLight(program, lamp, 1);
    EXPECT_EQ(program.numberOfLights, 2);
    EXPECT_EQ(uniformInt(program.programId, "numberOfLights"), 2);

    lamp.position = glm::vec3(1, 2, 3);
    addLight(program, lamp, 1);
    EXPECT_EQ(program.numberOfLights, 2);
    EXPECT_EQ(uniformInt(program.programId, "numberOfLights"), 2);

    EXPECT_EQ(uniformVec3(program.programId, "lightPos[1]"), glm::vec3(1, 2, 3));
    EXPECT_EQ(uniformVec3(program.programId, "attenuation[1]"), glm::vec3(1.0f, 0.01f, 0.1f));
    EXPECT_EQ(uniformInt(program.programId, "lightType[1]"), 0);
    EXPECT_EQ(uniformInt(program.programId, "lightType[0]"), 1);
    const glm::vec3 dir = uniformVec3(program.programId, "lightPos[0]");
    EXPECT_NEAR(glm::length(dir), 1.0f, 1e-5f);
    EXPECT_NEAR(dir.y, -1.0f / std::sqrt(0.16f + 1.0f + 0.25f), 1e-5f);
}

TEST_F(LightSlots, ASlotBeyondTheArrayIsIgnoredByGlButStillCounted) {
    TexturedShader program;
    program.init();
    PointLight lamp;
    for (int i = 0; i <= 10; ++i) addLight(program, lamp, i);
    EXPECT_EQ(program.numberOfLights, 11);
    EXPECT_EQ(glGetUniformLocation(program.programId, "lightPos[10]"), -1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
