#pragma once

#include <glm/glm.hpp>

#include <vector>

// Tidies a density grid (n³ points, x fastest then y then z, w the density, above `isoLevel` solid)
// before it is marched, so the landscape has nothing that hangs in the air:
// - solid points with air on both sides along some axis (sheets thinner than a cell) become air;
// - solid points not joined, face to face, to the bottom layer (pieces floating free) become air;
// - air points not joined to the air at the grid's top or sides (bubbles sealed inside the ground,
//   which nobody can see) become solid, so they make no triangles either.
// The same grid always gives the same result.
class LooseRock {
public:
    struct Changed {
        int thin = 0;
        int floating = 0;
        int sealed = 0;
    };

    static Changed clean(std::vector<glm::vec4>& points, int n, float isoLevel);
};
