#include "render/StorageBindings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

// The `binding =` of the block or counter `name` in shader/`file`; -1 when there is none.
int bindingIn(const std::string& file, const std::string& name) {
    std::ifstream in("shader/" + file);
    std::stringstream text;
    text << in.rdbuf();
    const std::regex declaration("binding\\s*=\\s*(\\d+)[^;{]*\\b(buffer|atomic_uint)\\s+" + name + "\\b");
    std::smatch match;
    const std::string source = text.str();
    return std::regex_search(source, match, declaration) ? std::stoi(match[1]) : -1;
}

// A pass binding its buffer where its shader does not look reads another pass's data, or nothing; a
// point shared by two kinds of buffer lets one pass read what another left there.
TEST(StorageBindings, EveryNamedPointIsTheOneItsShaderDeclaresAndHoldsOneKindOfBuffer) {
    using namespace StorageBinding;
    const std::set<GLuint> points{kDensityPoints,        kOctaveOffsets,         kTriangles,      kTriangleTable,
                                  kParticlePositionsIn,  kParticlePositionsOut,  kFlowField,      kFountainDensity,
                                  kParticleVelocitiesIn, kParticleVelocitiesOut, kModelInstances, kFountainSurface,
                                  kFountainCommand};
    EXPECT_EQ(points.size(), 13u);
    EXPECT_LT(*points.rbegin(), GLuint(kStorageBindingCount));
    EXPECT_NE(CounterBinding::kTriangleCount, CounterBinding::kParticleCount);
    EXPECT_EQ(bindingIn("density.comp", "PointBuffer"), int(kDensityPoints));
    EXPECT_EQ(bindingIn("density.comp", "OffsetBuffer"), int(kOctaveOffsets));
    EXPECT_EQ(bindingIn("marching_cubes_gen.comp", "TriangleBuffer"), int(kTriangles));
    EXPECT_EQ(bindingIn("marching_cubes_gen.comp", "TableBuffer"), int(kTriangleTable));
    EXPECT_EQ(bindingIn("marching_cubes_gen.comp", "PointBuffer"), int(kDensityPoints));
    EXPECT_EQ(bindingIn("marching_cubes_gen.comp", "triangleCount"), int(CounterBinding::kTriangleCount));
    EXPECT_EQ(bindingIn("meta_fluid_particles.comp", "PositionsIn"), int(kParticlePositionsIn));
    EXPECT_EQ(bindingIn("meta_fluid_particles.comp", "PositionsOut"), int(kParticlePositionsOut));
    EXPECT_EQ(bindingIn("meta_fluid_particles.comp", "VelocitiesIn"), int(kParticleVelocitiesIn));
    EXPECT_EQ(bindingIn("meta_fluid_particles.comp", "VelocitiesOut"), int(kParticleVelocitiesOut));
    EXPECT_EQ(bindingIn("meta_fluid_particles.comp", "FlowField"), int(kFlowField));
    EXPECT_EQ(bindingIn("meta_fluid_particles.comp", "written"), int(CounterBinding::kParticleCount));
    EXPECT_EQ(bindingIn("meta_ball_density.comp", "Positions"), int(kParticlePositionsIn));
    EXPECT_EQ(bindingIn("meta_ball_density.comp", "Density"), int(kFountainDensity));
    EXPECT_EQ(bindingIn("fountain_surface.comp", "Density"), int(kFountainDensity));
    EXPECT_EQ(bindingIn("fountain_surface.comp", "TableBuffer"), int(kTriangleTable));
    EXPECT_EQ(bindingIn("fountain_surface.comp", "Surface"), int(kFountainSurface));
    EXPECT_EQ(bindingIn("fountain_surface.comp", "Command"), int(kFountainCommand));
    EXPECT_EQ(bindingIn("fountain_surface.vert", "Surface"), int(kFountainSurface));
    EXPECT_EQ(bindingIn("textured.vertex", "ModelInstances"), int(kModelInstances));
    EXPECT_EQ(bindingIn("shadow.vertex", "ModelInstances"), int(kModelInstances));
}

}  // namespace
