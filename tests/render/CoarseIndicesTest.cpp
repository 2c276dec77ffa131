#include "render/CoarseIndices.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

namespace {

// A cube from -1 to 1 whose faces each have their own corners (as a model's texture seams give
// them) and are split into 10 x 10 squares: 1200 triangles.
struct SeamedCube {
    std::vector<float> positions;
    std::vector<unsigned int> indices;

    SeamedCube() {
        for (int axis = 0; axis < 3; ++axis) {
            for (float side : {-1.0f, 1.0f}) {
                const auto first = static_cast<unsigned int>(positions.size() / 3);
                for (int i = 0; i <= 10; ++i) {
                    for (int j = 0; j <= 10; ++j) {
                        glm::vec3 p;
                        p[axis] = side;
                        p[(axis + 1) % 3] = -1.0f + 0.2f * float(i);
                        p[(axis + 2) % 3] = -1.0f + 0.2f * float(j);
                        positions.insert(positions.end(), {p.x, p.y, p.z});
                    }
                }
                for (unsigned int i = 0; i < 10; ++i) {
                    for (unsigned int j = 0; j < 10; ++j) {
                        const unsigned int a = first + i * 11 + j, b = a + 11;
                        if (side > 0.0f)
                            indices.insert(indices.end(), {a, b, b + 1, a, b + 1, a + 1});
                        else  // wound the other way, so that every face looks out
                            indices.insert(indices.end(), {a, b + 1, b, a, a + 1, b + 1});
                    }
                }
            }
        }
    }
    glm::vec3 at(unsigned int index) const {
        return {positions[3 * index], positions[3 * index + 1], positions[3 * index + 2]};
    }
    float area(const std::vector<unsigned int>& list) const {
        float total = 0.0f;
        for (size_t i = 0; i + 2 < list.size(); i += 3)
            total += 0.5f * glm::length(glm::cross(at(list[i + 1]) - at(list[i]), at(list[i + 2]) - at(list[i])));
        return total;
    }
};

// The shadow map's outline of a closed model with seams is far coarser and still closed: the
// cube's whole surface (24 square units), over corners of the model itself.
TEST(CoarseIndicesTest, TheOutlineOfAClosedModelWithSeamsIsCoarseAndLeavesNoHole) {
    const SeamedCube cube;
    const std::vector<unsigned int> outline = outlineIndices(cube.indices, cube.positions);
    ASSERT_FALSE(outline.empty());
    EXPECT_LT(outline.size(), cube.indices.size() / 4);
    EXPECT_NEAR(cube.area(outline), 24.0f, 1e-3f);
    for (unsigned int index : outline) EXPECT_LT(index, cube.positions.size() / 3);
    // Too few triangles to be worth a list of their own.
    EXPECT_TRUE(
        outlineIndices(std::vector<unsigned int>(cube.indices.begin(), cube.indices.begin() + 1200), cube.positions)
            .empty());
}

}  // namespace
