#include "scene/Random.h"
#include "support/GlContext.h"

#include "terrain/DensityShader.h"
#include "terrain/MarchingCubesCount.h"
#include "terrain/MarchingCubesHandler.h"
#include "terrain/MarchingCubesShader.h"
#include "terrain/TriangulationTable.h"

#include <GL/glew.h>
#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Stand-in density programs for fields with a known surface, on grids no multiple of the work group.
const char* const FIELD_PROGRAM_HEAD = R"(#version 430
layout(local_size_x = 4, local_size_y = 4, local_size_z = 4) in;
layout(std430, binding = 0) writeonly buffer PointBuffer { vec4 points[]; };
uniform int numPointsPerAxis;
float field(vec3 p);
void main() {
    ivec3 id = ivec3(gl_GlobalInvocationID);
    if (any(greaterThanEqual(id, ivec3(numPointsPerAxis)))) return;
    points[id.x + id.y * numPointsPerAxis + id.z * numPointsPerAxis * numPointsPerAxis] = vec4(vec3(id), field(vec3(id)));
}
)";
// A ball of radius 6.5 around the grid's middle, and a slope rising along x above the level everywhere.
const char* const SPHERE_FIELD =
    "float field(vec3 p) { return 14.5 - length(p - vec3(0.5 * float(numPointsPerAxis - 1))); }";
const char* const ABOVE_LEVEL_FIELD = "float field(vec3 p) { return 20.0 + p.x; }";

GLuint fieldProgram(const char* field) {
    const std::string source = std::string(FIELD_PROGRAM_HEAD) + field;
    const char* text = source.c_str();
    const GLuint shader = glCreateShader(GL_COMPUTE_SHADER);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    const GLuint program = glCreateProgram();
    glAttachShader(program, shader);
    glLinkProgram(program);
    glDeleteShader(shader);
    return program;
}

const glm::vec3 CENTRE(0.5f, 0.5f, 0.5f);
const glm::vec3 OFFSET(-0.64f, 0.0f, 0.0f);

class MarchingCubesHandlerTest : public testsupport::GlTest {
protected:
    // Fills an n-point grid from `field` and marches it; returns what was printed.
    std::string march(MarchingCubesHandler& handler, const char* field, int n, unsigned int& count) {
        handler.marchingCubesProgramId = marchingCubes.init();
        handler.densityProgramId = fieldProgram(field);
        handler.generateDensity(n, 10.0f, CENTRE, OFFSET, random);
        testing::internal::CaptureStdout();
        handler.generateTriangles(n, count);
        return testing::internal::GetCapturedStdout();
    }

    MarchingCubesShader marchingCubes;
    Random random;
};

}  // namespace

TEST_F(MarchingCubesHandlerTest, ABallBecomesASurfaceOfOutwardFacingTrianglesAndTheCountIsPrinted) {
    MarchingCubesHandler handler;
    const int n = 22;
    unsigned int count = 0;
    const std::string printed = march(handler, SPHERE_FIELD, n, count);
    EXPECT_EQ(printed, std::to_string(count) + "\n");
    ASSERT_GT(count, 300u);
    EXPECT_EQ(count, countTriangles(handler.points, n, 8.0f));
    EXPECT_NEAR(handler.points.back().w, 14.5f - 10.5f * std::sqrt(3.0f), 1e-4f) << "the last point is filled too";
    const glm::vec3 middle(0.5f * (n - 1));
    for (unsigned int i = 0; i < count; ++i) {
        const Triangle& t = handler.triangles[i];
        for (const auto& [vertex, normal] : {std::make_pair(t.vertexA, t.normalA), std::make_pair(t.vertexB, t.normalB),
                                             std::make_pair(t.vertexC, t.normalC)}) {
            ASSERT_NEAR(glm::length(vertex - middle), 6.5f, 0.1f);
            ASSERT_GT(glm::dot(normal, glm::normalize(vertex - middle)), 0.95f) << "normal " << i;
        }
        // Counter-clockwise seen from outside: the right-hand facing points away from the middle.
        const glm::vec3 facing = glm::cross(t.vertexB - t.vertexA, t.vertexC - t.vertexA);
        ASSERT_GT(glm::dot(facing, (t.vertexA + t.vertexB + t.vertexC) / 3.0f - middle), 0.0f) << "triangle " << i;
    }
}

TEST_F(MarchingCubesHandlerTest, TheLevelFallsBackToTheMeanAndOtherGridSizesAreRefused) {
    MarchingCubesHandler handler;
    unsigned int count = 0;
    testing::internal::CaptureStderr();
    march(handler, ABOVE_LEVEL_FIELD, 10, count);  // all above 8: the mean cuts the grid in half along x
    EXPECT_EQ(handler.isoLevel, 24.5f);
    EXPECT_EQ(count, 2u * 9u * 9u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the pass makes no triangle beyond those counted";
    testing::internal::CaptureStdout();
    handler.generateTriangles(16, count);  // the grid has 10 points a side
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "0\n");
    EXPECT_EQ(count, 0u);
}

TEST_F(MarchingCubesHandlerTest, TheSameDrawsGiveTheSameLand) {
    DensityShader density;
    MarchingCubesHandler first, second, third;
    Random draws[] = {Random(77u), Random(77u), Random(78u)};
    MarchingCubesHandler* handlers[] = {&first, &second, &third};
    for (int i = 0; i < 3; ++i) {
        handlers[i]->densityProgramId = density.init();
        handlers[i]->generateDensity(21, 10.0f, CENTRE, OFFSET, draws[i]);
    }
    EXPECT_EQ(first.points, second.points);
    EXPECT_NE(first.points, third.points);
}

// Three draws per octave, the first into z: over a world's 24 offsets both signs turn up, all within -1 to 1.
TEST(OctaveOffsets, ThreeDrawsAnOctaveStoredZYXFromMinusOneToOne) {
    Random draws(5), same(5);
    const int first = same.draw();
    const auto offsets = MarchingCubesHandler::drawOctaveOffsets(draws);
    EXPECT_FLOAT_EQ(offsets[2], 2.0f * static_cast<float>(first) / 32768.0f - 1.0f);
    EXPECT_LT(*std::min_element(offsets.begin(), offsets.end()), -0.5f);
    EXPECT_GT(*std::max_element(offsets.begin(), offsets.end()), 0.5f);
    for (float offset : offsets) EXPECT_TRUE(offset >= -1.0f && offset < 1.0f) << offset;
}

namespace {

std::vector<int> rowEntries(int config) {
    std::vector<int> entries;
    for (int i = 0; i < 16 && triangulationTable[config][i] != -1; ++i)
        entries.push_back(triangulationTable[config][i]);
    return entries;
}

bool inside(int config, int corner) { return (config >> corner) & 1; }

glm::vec3 corner(int index) {
    return glm::vec3(cornerOffsets[index][0], cornerOffsets[index][1], cornerOffsets[index][2]);
}

// With vertices at edge midpoints, each row cuts exactly the crossed edges, facing away from inside.
TEST(TriangulationTable, EveryRowCutsTheCrossedEdgesWithTrianglesFacingOut) {
    int triangles = 0;
    for (int config = 0; config < 256; ++config) {
        const std::vector<int> entries = rowEntries(config);
        ASSERT_EQ(entries.size() % 3, 0u) << "row " << config;
        for (std::size_t i = entries.size(); i < 16; ++i) EXPECT_EQ(triangulationTable[config][i], -1);
        std::set<int> crossed;
        for (int edge = 0; edge < 12; ++edge) {
            if (inside(config, edgeCorners[edge][0]) != inside(config, edgeCorners[edge][1])) crossed.insert(edge);
        }
        EXPECT_EQ(std::set<int>(entries.begin(), entries.end()), crossed) << "row " << config;
        for (std::size_t t = 0; t < entries.size(); t += 3, ++triangles) {
            glm::vec3 vertex[3];
            float outward = 0.0f;
            for (int k = 0; k < 3; ++k) {
                const int* ends = edgeCorners[entries[t + k]];
                vertex[k] = 0.5f * (corner(ends[0]) + corner(ends[1]));
            }
            const glm::vec3 facing = glm::cross(vertex[1] - vertex[0], vertex[2] - vertex[0]);
            for (int k = 0; k < 3; ++k) {
                const int* ends = edgeCorners[entries[t + k]];
                const bool firstInside = inside(config, ends[0]);
                outward +=
                    glm::dot(facing, corner(firstInside ? ends[1] : ends[0]) - corner(firstInside ? ends[0] : ends[1]));
            }
            EXPECT_GT(outward, 0.0f) << "row " << config << " triangle " << t / 3;
        }
    }
    EXPECT_EQ(triangles, 820);
}

}  // namespace
