#include "render/CoarseIndices.h"

#include <meshoptimizer.h>

namespace {

// Models with fewer triangles cost little per copy; they keep their one list.
constexpr size_t kCoarseFromTriangles = 500;
constexpr size_t kShare = 10;
constexpr float kLargestError = 0.05f;

}  // namespace

std::vector<unsigned int> coarseIndices(const std::vector<unsigned int>& indices, const std::vector<float>& positions) {
    const size_t vertexCount = positions.size() / 3;
    if (indices.size() / 3 < kCoarseFromTriangles || vertexCount == 0) return {};
    std::vector<unsigned int> coarse(indices.size());
    const size_t target = indices.size() / 3 / kShare * 3;
    coarse.resize(meshopt_simplify(coarse.data(), indices.data(), indices.size(), positions.data(), vertexCount,
                                   3 * sizeof(float), target, kLargestError, 0, nullptr));
    if (coarse.empty() || coarse.size() >= indices.size()) return {};
    return coarse;
}
