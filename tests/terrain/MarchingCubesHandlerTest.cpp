#include "support/GlContext.h"
#include "terrain/DensityShader.h"
#include "terrain/MarchingCubesCount.h"
#include "terrain/MarchingCubesHandler.h"
#include "terrain/MarchingCubesShader.h"
#include "terrain/TriangulationTable.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Stand-in density programs with the density pass's bindings and uniforms, so the marching-cubes
// pass can be checked on fields whose surface is known. Groups of 4³ with grids that are not a
// multiple of 4 also check that the handler covers the whole grid.
const char* const FIELD_PROGRAM_HEAD = R"(#version 430
layout(local_size_x = 4, local_size_y = 4, local_size_z = 4) in;
layout(std430, binding = 0) writeonly buffer PointBuffer { vec4 points[]; };
layout(std430, binding = 1) readonly buffer OffsetBuffer { float octaveOffsets[]; };
uniform int numPointsPerAxis;
uniform float boundsSize;
uniform vec3 centre;
uniform vec3 offset;
uniform float spacing;
uniform vec3 worldSize;
uniform vec4 params;
uniform int octaves;
float field(vec3 p, int index);
void main() {
    ivec3 id = ivec3(gl_GlobalInvocationID);
    if (any(greaterThanEqual(id, ivec3(numPointsPerAxis)))) return;
    int index = id.x + id.y * numPointsPerAxis + id.z * numPointsPerAxis * numPointsPerAxis;
    points[index] = vec4(vec3(id), field(vec3(id), index));
}
)";

// Ball of radius SPHERE_RADIUS around the grid's middle; density falls off with distance.
constexpr float SPHERE_RADIUS = 6.5f;
const char* const SPHERE_FIELD = R"(
float field(vec3 p, int index) {
    return 8.0 + 6.5 - length(p - vec3(0.5 * float(numPointsPerAxis - 1)));
})";
const char* const CONSTANT_FIELD = "float field(vec3 p, int index) { return 5.0; }";
const char* const ABOVE_LEVEL_FIELD = "float field(vec3 p, int index) { return 20.0 + p.x; }";
const char* const DESCENDING_FIELD = "float field(vec3 p, int index) { return -float(index); }";
// Echoes the offsets and then every uniform, in declaration order.
const char* const ECHO_FIELD = R"(
float field(vec3 p, int index) {
    if (index < 24) return octaveOffsets[index];
    float values[17] = float[17](float(numPointsPerAxis), boundsSize, centre.x, centre.y,
                                 centre.z, offset.x, offset.y, offset.z, spacing, worldSize.x,
                                 worldSize.y, worldSize.z, params.x, params.y, params.z, params.w,
                                 float(octaves));
    return index < 41 ? values[index - 24] : 0.0;
})";

GLuint fieldProgram(const char* field) {
    static std::map<std::string, GLuint> programs;
    GLuint& program = programs[field];
    if (program != 0) return program;
    const std::string source = std::string(FIELD_PROGRAM_HEAD) + field;
    const char* text = source.c_str();
    GLuint shader = glCreateShader(GL_COMPUTE_SHADER);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    EXPECT_TRUE(compiled) << field;
    program = glCreateProgram();
    glAttachShader(program, shader);
    glLinkProgram(program);
    glDeleteShader(shader);
    return program;
}

GLuint marchingCubesProgram() {
    static MarchingCubesShader shader;
    return shader.init();
}

GLuint densityProgram() {
    static DensityShader shader;
    return shader.init();
}

const glm::vec3 CENTRE(0.5f, 0.5f, 0.5f);
const glm::vec3 OFFSET(-0.64f, 0.0f, 0.0f);

class MarchingCubesHandlerTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        MarchingCubesHandler::marchingCubesProgramId = marchingCubesProgram();
    }

    // Generates the grid with `field` and marches it; returns what was printed.
    std::string march(MarchingCubesHandler& handler, const char* field, int n, unsigned int& count) {
        MarchingCubesHandler::densityProgramId = fieldProgram(field);
        handler.generateDensity(n, 10.0f, CENTRE, OFFSET);
        testing::internal::CaptureStdout();
        handler.generateTriangles(n, count);
        return testing::internal::GetCapturedStdout();
    }
};

using VertexKey = std::tuple<float, float, float>;
VertexKey key(const glm::vec3& v) { return {v.x, v.y, v.z}; }

}  // namespace

TEST_F(MarchingCubesHandlerTest, DensityPassGetsItsUniformsAndFreshOffsets) {
    MarchingCubesHandler handler;
    handler.seedSource = [] { return 1234u; };
    MarchingCubesHandler::densityProgramId = fieldProgram(ECHO_FIELD);
    handler.generateDensity(8, 10.0f, CENTRE, OFFSET);
    ASSERT_EQ(handler.points.size(), 512u);

    // Three draws per octave, the first becoming z: the same sequence as srand(seed) + rand().
    std::srand(1234u);
    for (int octave = 0; octave < 8; ++octave) {
        for (int component = 2; component >= 0; --component) {
            const double r = std::rand() / (RAND_MAX / 32768 + 1);
            const float value = handler.points[octave * 3 + component].w;
            EXPECT_FLOAT_EQ(value, static_cast<float>(2.0 * (r / 32768.0) - 1.0));
            EXPECT_GE(value, -1.0f);
            EXPECT_LT(value, 1.0f);
        }
    }
    // n, boundsSize, centre, offset, spacing, worldSize, params, octaves.
    const float uniforms[17] = {8.0f, 10.0f, 0.5f, 0.5f, 0.5f, -0.64f, 0.0f,   0.0f, 1.0f,
                                8.0f, 8.0f,  8.0f, 5.0f, 1.5f, 0.4f,   -0.03f, 8.0f};
    for (int i = 0; i < 17; ++i) EXPECT_FLOAT_EQ(handler.points[24 + i].w, uniforms[i]) << "uniform " << i;
}

TEST_F(MarchingCubesHandlerTest, StatisticsCoverTheWholeGrid) {
    MarchingCubesHandler handler;
    MarchingCubesHandler::densityProgramId = fieldProgram(DESCENDING_FIELD);
    const int n = 22;
    handler.generateDensity(n, 10.0f, CENTRE, OFFSET);
    ASSERT_EQ(handler.points.size(), static_cast<std::size_t>(n * n * n));
    // The very first point is the maximum; every point was written, the last one too.
    EXPECT_EQ(handler.maxDensity, 0.0f);
    EXPECT_EQ(handler.minDensity, -static_cast<float>(n * n * n - 1));
    EXPECT_NEAR(handler.meanDensity, -(n * n * n - 1) / 2.0, 1.0);
    for (int z = 0; z < n; z += n - 1)
        for (int y = 0; y < n; y += n - 1)
            for (int x = 0; x < n; x += n - 1) {
                EXPECT_EQ(handler.points[x + y * n + z * n * n], glm::vec4(x, y, z, -(x + y * n + z * n * n)));
            }
}

TEST_F(MarchingCubesHandlerTest, SphereBecomesAClosedOutwardFacingSurface) {
    MarchingCubesHandler handler;
    const int n = 22;
    unsigned int count = 0;
    const std::string printed = march(handler, SPHERE_FIELD, n, count);

    EXPECT_EQ(handler.isoLevel, 8.0f);
    ASSERT_GT(count, 300u);
    EXPECT_EQ(count, countTriangles(handler.points, n, handler.isoLevel));
    EXPECT_EQ(printed, std::to_string(count) + "\n");
    ASSERT_GE(handler.triangles.size(), count);

    const glm::vec3 middle(0.5f * (n - 1));
    std::map<VertexKey, int> ids;
    std::map<std::pair<int, int>, int> directedEdges;
    for (unsigned int i = 0; i < count; ++i) {
        const Triangle& t = handler.triangles[i];
        const glm::vec3 vertices[3] = {t.vertexA, t.vertexB, t.vertexC};
        const glm::vec3 normals[3] = {t.normalA, t.normalB, t.normalC};
        int id[3];
        for (int k = 0; k < 3; ++k) {
            const glm::vec3 radial = vertices[k] - middle;
            EXPECT_NEAR(glm::length(radial), SPHERE_RADIUS, 0.1f);
            EXPECT_NEAR(glm::length(normals[k]), 1.0f, 1e-4f);
            EXPECT_GT(glm::dot(normals[k], glm::normalize(radial)), 0.95f) << "normal " << i;
            id[k] = ids.emplace(key(vertices[k]), static_cast<int>(ids.size())).first->second;
        }
        // Counter-clockwise seen from outside: the right-hand facing points away from the middle.
        const glm::vec3 facing = glm::cross(t.vertexB - t.vertexA, t.vertexC - t.vertexA);
        EXPECT_GT(glm::dot(facing, (t.vertexA + t.vertexB + t.vertexC) / 3.0f - middle), 0.0f) << "triangle " << i;
        for (int k = 0; k < 3; ++k) ++directedEdges[{id[k], id[(k + 1) % 3]}];
    }
    // Closed and consistently wound: each edge is used once in each direction.
    for (const auto& [edge, uses] : directedEdges) {
        EXPECT_EQ(uses, 1);
        EXPECT_EQ(directedEdges.count({edge.second, edge.first}), 1u)
            << "open edge " << edge.first << "-" << edge.second;
    }
}

TEST_F(MarchingCubesHandlerTest, IsoLevelFallsBackToTheMeanWhenTheGridMisses8) {
    MarchingCubesHandler handler;
    unsigned int count = 99;
    EXPECT_EQ(march(handler, CONSTANT_FIELD, 10, count), "0\n");
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(handler.minDensity, 5.0f);
    EXPECT_EQ(handler.maxDensity, 5.0f);
    EXPECT_EQ(handler.isoLevel, 5.0f);

    // All above 8: marched at the mean, which cuts the grid in half along x.
    const int n = 10;
    march(handler, ABOVE_LEVEL_FIELD, n, count);
    EXPECT_FLOAT_EQ(handler.meanDensity, 24.5f);
    EXPECT_EQ(handler.isoLevel, handler.meanDensity);
    EXPECT_EQ(count, static_cast<unsigned int>(2 * (n - 1) * (n - 1)));
}

TEST_F(MarchingCubesHandlerTest, RefusesToMarchAGridOfAnotherSize) {
    MarchingCubesHandler fresh;
    unsigned int count = 99;
    testing::internal::CaptureStdout();
    fresh.generateTriangles(16, count);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "0\n");
    EXPECT_EQ(count, 0u);

    MarchingCubesHandler handler;
    MarchingCubesHandler::densityProgramId = fieldProgram(SPHERE_FIELD);
    handler.generateDensity(16, 10.0f, CENTRE, OFFSET);
    testing::internal::CaptureStdout();
    handler.generateTriangles(22, count);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(count, 0u);
}

TEST_F(MarchingCubesHandlerTest, TableStaysBoundAtPointOneAndBuffersAreReleased) {
    GLuint densityBuffer = 0;
    GLuint table = 0;
    {
        MarchingCubesHandler handler;
        unsigned int count = 0;
        march(handler, SPHERE_FIELD, 16, count);
        // A regeneration with another grid size replaces the grid buffer.
        march(handler, SPHERE_FIELD, 22, count);
        EXPECT_EQ(count, countTriangles(handler.points, 22, 8.0f));
        densityBuffer = handler.densityBuffer;
        ASSERT_TRUE(glIsBuffer(densityBuffer));

        GLint bound = 0;
        glGetIntegeri_v(GL_SHADER_STORAGE_BUFFER_BINDING, 1, &bound);
        table = static_cast<GLuint>(bound);
        ASSERT_NE(table, 0u);
        std::vector<int> contents(256 * 16);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, table);
        glGetBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, 256 * 16 * sizeof(int), contents.data());
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
        EXPECT_EQ(contents, std::vector<int>(&triangulationTable[0][0], &triangulationTable[0][0] + 256 * 16));
    }
    EXPECT_FALSE(glIsBuffer(densityBuffer));

    // The table is shared by every handler and outlives them.
    MarchingCubesHandler other;
    unsigned int count = 0;
    march(other, SPHERE_FIELD, 16, count);
    GLint bound = 0;
    glGetIntegeri_v(GL_SHADER_STORAGE_BUFFER_BINDING, 1, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), table);
}

TEST_F(MarchingCubesHandlerTest, SameSeedGivesTheSameLandscape) {
    MarchingCubesHandler::densityProgramId = densityProgram();
    const int n = 21;
    MarchingCubesHandler first;
    MarchingCubesHandler second;
    MarchingCubesHandler third;
    first.seedSource = second.seedSource = [] { return 77u; };
    third.seedSource = [] { return 78u; };
    first.generateDensity(n, 10.0f, CENTRE, OFFSET);
    second.generateDensity(n, 10.0f, CENTRE, OFFSET);
    third.generateDensity(n, 10.0f, CENTRE, OFFSET);

    ASSERT_EQ(first.points.size(), static_cast<std::size_t>(n * n * n));
    EXPECT_EQ(first.points, second.points);
    EXPECT_NE(first.points, third.points);
    for (int z = 0; z < n; ++z)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const glm::vec4& point = first.points[x + y * n + z * n * n];
                ASSERT_EQ(glm::vec3(point), glm::vec3(x, y, z));
                ASSERT_TRUE(std::isfinite(point.w));
            }

    // Without a seed source the offsets continue the random sequence where it stands: the game seeds
    // once per world, before the landscape.
    MarchingCubesHandler unseeded;
    std::srand(77u);
    unseeded.generateDensity(n, 10.0f, CENTRE, OFFSET);
    EXPECT_EQ(unseeded.points, first.points);
}
