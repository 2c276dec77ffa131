#pragma once

#include <string>

// diamond.dae: the collectable gem, z-up, centred on the origin, 1.2 units tall.
void writeDiamondModel(const std::string& path);
// Projectile.dae: a sphere of radius 1 (the game scales it to 0.1).
void writeProjectileModel(const std::string& path);

// The projectile's sphere, shared with the painter of its texture.
class Surface;
Surface projectileSphere();
