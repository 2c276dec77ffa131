#include "render/CoarseIndices.h"

#include <meshoptimizer.h>

namespace {

// Models with fewer triangles cost little per copy; they keep their one list.
constexpr size_t kCoarseFromTriangles = 500;
constexpr size_t kShare = 10;
constexpr float kLargestError = 0.05f;
// The creatures are about 1.25 units across: 8 % of that is a tenth of a unit, under a texel of the
// shadow map at the levels that draw outlines (0.15 units at most).
constexpr size_t kOutlineShare = 50;
constexpr float kLargestOutlineError = 0.08f;

bool worthSimplifying(const std::vector<unsigned int>& indices, const std::vector<float>& positions) {
    return indices.size() / 3 >= kCoarseFromTriangles && positions.size() >= 3;
}

std::vector<unsigned int> simplified(const std::vector<unsigned int>& indices, const std::vector<float>& positions,
                                     size_t share, float largestError) {
    const size_t vertexCount = positions.size() / 3;
    std::vector<unsigned int> coarse(indices.size());
    const size_t target = indices.size() / 3 / share * 3;
    coarse.resize(meshopt_simplify(coarse.data(), indices.data(), indices.size(), positions.data(), vertexCount,
                                   3 * sizeof(float), target, largestError, 0, nullptr));
    if (coarse.empty() || coarse.size() >= indices.size()) return {};
    return coarse;
}

}  // namespace

std::vector<unsigned int> coarseIndices(const std::vector<unsigned int>& indices, const std::vector<float>& positions) {
    if (!worthSimplifying(indices, positions)) return {};
    return simplified(indices, positions, kShare, kLargestError);
}

std::vector<unsigned int> outlineIndices(const std::vector<unsigned int>& indices,
                                         const std::vector<float>& positions) {
    if (!worthSimplifying(indices, positions)) return {};  // before the welding, which small models would waste
    std::vector<unsigned int> welded(indices.size());
    meshopt_generateShadowIndexBuffer(welded.data(), indices.data(), indices.size(), positions.data(),
                                      positions.size() / 3, 3 * sizeof(float), 3 * sizeof(float));
    return simplified(welded, positions, kOutlineShare, kLargestOutlineError);
}
