#pragma once

#include "Image.h"

Image paintItem();  // item_64.png: the gem's facets, light and dark columns over a height gradient
// carried_gem_64.png: the same facets in crimson, for the gems flying rabbits carry (never to be
// taken for the blue ones to collect)
Image paintCarriedGem();
Image paintProjectile();  // projectile_512.png: a glowing orb of swirling light
