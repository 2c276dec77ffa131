#include "render/ShaderProgram.h"

#include "effects/DebugLineShader.h"
#include "effects/GuiShader.h"
#include "effects/HudShader.h"
#include "effects/ParticleShader.h"
#include "effects/SkyBoxShader.h"
#include "effects/WaterShader.h"
#include "fluid/BlobbyShader.h"
#include "fluid/MetaBallDensityShader.h"
#include "fluid/MetaFluidParticleShader.h"
#include "render/ResourcePath.h"
#include "render/ShadowShader.h"
#include "render/TexturedShader.h"
#include "support/GlContext.h"
#include "support/TempDirectory.h"
#include "terrain/AdvancedTerrainShader.h"
#include "terrain/DensityShader.h"
#include "terrain/MarchingCubesShader.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

const char* const passThroughFragment = "#version 430 core\nout vec4 color;\nvoid main() { color = vec4(1.0); }\n";

TEST(ShaderConstruction, PrintsTheFirstStagePathOfEveryProgram) {
    const std::string cwd = getCurrentWorkingDirectory();
    const std::string textured = cwd + "/shader/textured.vertex\n";
    const std::vector<std::pair<std::function<std::shared_ptr<ShaderProgram>()>, std::string>> table = {
        {[] { return std::make_shared<TexturedShader>(); }, textured},
        {[] { return std::make_shared<AdvancedTerrainShader>(); }, textured + cwd + "/shader/advanced_terrain.vert\n"},
        {[] { return std::make_shared<WaterShader>(); }, textured + cwd + "/shader/water.vertex\n"},
        {[] { return std::make_shared<BlobbyShader>(); }, textured + cwd + "/shader/marching_cubes.vert\n"},
        {[] { return std::make_shared<ShadowShader>(); }, cwd + "/shader/shadow.vertex\n"},
        {[] { return std::make_shared<ParticleShader>(); }, cwd + "/shader/particle.vertex\n"},
        {[] { return std::make_shared<SkyBoxShader>(); }, cwd + "/shader/skybox.vertex\n"},
        {[] { return std::make_shared<GuiShader>(); }, cwd + "/shader/gui.vertex\n"},
        {[] { return std::make_shared<HudShader>(); }, cwd + "/shader/hud.vertex\n"},
        {[] { return std::make_shared<DebugLineShader>(); }, cwd + "/shader/debug_line.vert\n"},
        {[] { return std::make_shared<DensityShader>(); }, cwd + "/shader/density.comp\n"},
        {[] { return std::make_shared<MarchingCubesShader>(); }, cwd + "/shader/marching_cubes_gen.comp\n"},
        {[] { return std::make_shared<MetaBallDensityShader>(); }, cwd + "/shader/meta_ball_density.comp\n"},
        {[] { return std::make_shared<MetaFluidParticleShader>(); }, cwd + "/shader/meta_fluid_particles.comp\n"},
    };
    for (const auto& [make, expected] : table) {
        CaptureStdout();
        std::shared_ptr<ShaderProgram> program = make();
        EXPECT_EQ(expected, GetCapturedStdout());
        EXPECT_FALSE(program->linked);
        EXPECT_EQ(0u, program->programId);
    }
}

class ShaderProgramTest : public testsupport::GlTest {
protected:
    testsupport::TempDirectory folder;

    void SetUp() override {
        GlTest::SetUp();
        // A program that failed to link leaves errors from its location look-ups; start clean.
        while (glGetError() != GL_NO_ERROR) {}
    }

    // Points `program` at sources written to the temporary folder (an empty geometry source: none).
    void useSources(ShaderProgram& program, const std::string& vertex, const std::string& fragment,
                    const std::string& geometry = "") {
        program.vertexShaderPath = folder.writeText("test.vertex", vertex);
        program.fragmentShaderPath = folder.writeText("test.frag", fragment);
        program.geometryShaderPath = geometry.empty() ? "" : folder.writeText("test.geom", geometry);
    }

    static GLint linkStatus(GLuint programId) {
        GLint status = 0;
        glGetProgramiv(programId, GL_LINK_STATUS, &status);
        return status;
    }

    // Builds quietly; the compile lines are covered elsewhere.
    static GLuint initQuietly(ShaderProgram& program) {
        CaptureStdout();
        GLuint id = program.init();
        GetCapturedStdout();
        return id;
    }
};

TEST_F(ShaderProgramTest, MissingSourcesAreReportedYetInitGivesALinkedName) {
    ShaderProgram program;
    program.vertexShaderPath = folder.path() + "/missing.vertex";
    program.fragmentShaderPath = folder.path() + "/missing.frag";
    CaptureStderr();
    GLuint id = initQuietly(program);
    const std::string err = GetCapturedStderr();

    EXPECT_NE(0u, id);
    EXPECT_EQ(id, program.programId);
    EXPECT_TRUE(program.linked);
    EXPECT_NE(std::string::npos,
              err.find("Could not read file " + folder.path() + "/missing.vertex. File does not exist.\n"));
    EXPECT_NE(std::string::npos,
              err.find("Could not read file " + folder.path() + "/missing.frag. File does not exist.\n"));
    EXPECT_NE(std::string::npos, err.find("Linking Error with Program and Shader, "));
}

TEST_F(ShaderProgramTest, SecondInitReturnsTheSameProgramWithoutCompiling) {
    ShaderProgram program;
    useSources(program, "#version 430 core\nin vec3 position;\nvoid main() { gl_Position = vec4(position, 1.0); }\n",
               passThroughFragment);
    GLuint first = initQuietly(program);
    CaptureStdout();
    GLuint second = program.init();
    EXPECT_EQ("", GetCapturedStdout());
    EXPECT_EQ(first, second);
    EXPECT_EQ(GL_TRUE, linkStatus(first));
    EXPECT_EQ(0, glGetAttribLocation(first, "position"));
}

TEST_F(ShaderProgramTest, KeptLocationsAreMinusOneWhenTheSourceLacksThem) {
    ShaderProgram without;
    useSources(without, "#version 430 core\nvoid main() { gl_Position = vec4(0.0); }\n", passThroughFragment);
    initQuietly(without);
    EXPECT_EQ(GL_TRUE, linkStatus(without.programId));
    EXPECT_EQ(-1, without.numberOfLightsLocation);
    EXPECT_EQ(-1, without.modelMatrixLocation);

    ShaderProgram with;
    useSources(with,
               "#version 430 core\nuniform mat4 modelMatrix;\nuniform int numberOfLights;\n"
               "void main() { gl_Position = modelMatrix * vec4(float(numberOfLights)); }\n",
               passThroughFragment);
    initQuietly(with);
    EXPECT_EQ(glGetUniformLocation(with.programId, "numberOfLights"), with.numberOfLightsLocation);
    EXPECT_EQ(glGetUniformLocation(with.programId, "modelMatrix"), with.modelMatrixLocation);
    EXPECT_NE(-1, with.numberOfLightsLocation);
    EXPECT_NE(-1, with.modelMatrixLocation);
    // init leaves the program current so that uniforms can be written straight away.
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLint>(with.programId), current);
}

TEST_F(ShaderProgramTest, ProgramsBindTheirAttributeNamesToFixedIndices) {
    const std::string fragment = passThroughFragment;
    const std::string allAttributes =
        "#version 430 core\nin vec3 position;\nin vec2 textureCoords;\nin vec3 normal;\n"
        "in mat4 modelMatrix;\nin vec4 texOffsets;\nin float blendFactor;\n"
        "void main() { gl_Position = modelMatrix * vec4(position + normal, blendFactor)"
        " + vec4(textureCoords, 0.0, 0.0) + texOffsets; }\n";

    const std::vector<
        std::pair<std::function<std::shared_ptr<ShaderProgram>()>, std::vector<std::pair<const char*, GLint>>>>
        table = {
            {[] { return std::make_shared<TexturedShader>(); }, {{"position", 0}, {"textureCoords", 1}, {"normal", 2}}},
            {[] { return std::make_shared<AdvancedTerrainShader>(); }, {{"position", 0}, {"normal", 2}}},
            {[] { return std::make_shared<ShadowShader>(); }, {{"position", 0}, {"textureCoords", 1}}},
            {[] { return std::make_shared<ParticleShader>(); },
             {{"position", 0}, {"modelMatrix", 1}, {"texOffsets", 5}, {"blendFactor", 6}}},
            {[] { return std::make_shared<GuiShader>(); }, {{"position", 0}}},
        };
    for (const auto& [make, bindings] : table) {
        CaptureStdout();
        std::shared_ptr<ShaderProgram> program = make();
        GetCapturedStdout();
        useSources(*program, allAttributes, fragment);
        initQuietly(*program);
        for (const auto& [name, index] : bindings) {
            EXPECT_EQ(index, glGetAttribLocation(program->programId, name)) << program->vertexShaderPath << " " << name;
        }
    }
}

TEST_F(ShaderProgramTest, SubclassesKeepTheirExtraLocations) {
    const std::string vertex =
        "#version 430 core\nin vec3 position;\nuniform mat4 viewMatrix;\nuniform mat4 projectionMatrix;\n"
        "uniform mat4 modelMatrix;\nuniform vec3 cameraPos;\nuniform float tiling;\nuniform ivec3 dimensions;\n"
        "void main() { gl_Position = projectionMatrix * viewMatrix * modelMatrix * vec4(position + cameraPos * tiling"
        " + vec3(dimensions), 1.0); }\n";
    const std::string fragment =
        "#version 430 core\nout vec4 color;\nuniform float moveFactor;\nuniform float shineDamper;\n"
        "uniform float reflectivity;\nuniform vec3 skyColor;\nuniform float brightnessFactor;\n"
        "void main() { color = vec4(skyColor * moveFactor * shineDamper * reflectivity, brightnessFactor); }\n";
    const std::string geometry =
        "#version 430 core\nlayout(points) in;\nlayout(points, max_vertices = 1) out;\n"
        "void main() { gl_Position = gl_in[0].gl_Position; EmitVertex(); EndPrimitive(); }\n";

    CaptureStdout();
    WaterShader water;
    BlobbyShader blobby;
    GetCapturedStdout();
    useSources(water, vertex, fragment);
    initQuietly(water);
    const GLuint w = water.programId;
    EXPECT_EQ(glGetUniformLocation(w, "moveFactor"), water.moveFactorLocation);
    EXPECT_EQ(glGetUniformLocation(w, "cameraPos"), water.cameraPosLocation);
    EXPECT_EQ(glGetUniformLocation(w, "tiling"), water.tilingLocation);
    EXPECT_EQ(glGetUniformLocation(w, "projectionMatrix"), water.projectionMatrixLocation);
    EXPECT_EQ(glGetUniformLocation(w, "brightnessFactor"), water.brightnessFactorLocation);
    for (GLint location : {water.moveFactorLocation, water.cameraPosLocation, water.tilingLocation,
                           water.viewMatrixLocation, water.skyColorLocation, water.modelMatrixLocation}) {
        EXPECT_NE(-1, location);
    }

    useSources(blobby, vertex, fragment, geometry);
    initQuietly(blobby);
    EXPECT_EQ(GL_TRUE, linkStatus(blobby.programId));
    GLint stages = 0;
    glGetProgramiv(blobby.programId, GL_GEOMETRY_VERTICES_OUT, &stages);
    EXPECT_EQ(1, stages);  // the geometry stage was linked in
    EXPECT_NE(-1, blobby.dimensionsLocation);
    EXPECT_EQ(glGetUniformLocation(blobby.programId, "dimensions"), blobby.dimensionsLocation);
}

TEST_F(ShaderProgramTest, ComputeProgramsLinkOnceAndProgramsAreFreedWithTheirOwner) {
    CaptureStdout();
    auto compute = std::make_shared<DensityShader>();
    GetCapturedStdout();
    compute->computeShaderPath = folder.writeText(
        "test.comp",
        "#version 430 core\nlayout(local_size_x = 1) in;\nlayout(std430, binding = 0) buffer B { float v[]; };\n"
        "void main() { v[gl_GlobalInvocationID.x] = 1.0; }\n");
    const GLuint id = initQuietly(*compute);
    EXPECT_EQ(GL_TRUE, linkStatus(id));
    EXPECT_TRUE(compute->linked);
    EXPECT_EQ(id, compute->init());
    EXPECT_EQ("", compute->vertexShaderPath);

    compute.reset();
    EXPECT_FALSE(glIsProgram(id));
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

}  // namespace
