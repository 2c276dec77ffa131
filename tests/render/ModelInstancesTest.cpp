#include "render/ModelInstances.h"

#include "render/Mesh.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using Detail = ModelInstances::Detail;

// Copies of one model (full list 30 indices, coarse 9, outline 3) and of one without an outline or a
// coarse version go in runs by the list they are drawn from, each run starting at its own list.
TEST(ModelInstancesTest, EachCopyRunsFromTheListAskedForOrTheNextFinerOneItsModelHas) {
    Mesh model, plain;
    model.vaoId = 1, model.vertexCount = 30, model.coarseCount = 9, model.outlineCount = 3;
    plain.vaoId = 2, plain.vertexCount = 6;
    ModelInstances instances;
    for (Detail detail : {Detail::Outline, Detail::Coarse, Detail::Full, Detail::Outline}) instances.add(model, detail);
    instances.add(plain, Detail::Outline);
    model.outlineCount = 0;
    instances.add(model, Detail::Outline);
    const auto& runs = instances.runs();
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(std::make_tuple(runs[0].vertexCount, runs[0].firstIndex, runs[0].count), std::make_tuple(3, 39, 2));
    EXPECT_EQ(std::make_tuple(runs[1].vertexCount, runs[1].firstIndex, runs[1].count), std::make_tuple(9, 30, 2));
    EXPECT_EQ(std::make_tuple(runs[2].vertexCount, runs[2].firstIndex, runs[2].count), std::make_tuple(30, 0, 1));
    EXPECT_EQ(std::make_tuple(runs[3].vaoId, runs[3].vertexCount, runs[3].firstIndex), std::make_tuple(2u, 6, 0));
    EXPECT_EQ(instances.instanceCount(), 6);
}

}  // namespace
