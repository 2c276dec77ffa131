#pragma once

#include "MeshBuilder.h"

// A cut gem with hard facets: an octagonal table on top, a crown down to the girdle and a pointed
// pavilion, z-up and centred on the origin, `height` tall. Its texture coordinates pick light or
// dark columns of the item texture by facet and a gradient row by height.
MeshBuilder buildGem(float height);
