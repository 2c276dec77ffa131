#pragma once

#include "Image.h"

Image paintItem();        // item_64.png: the gem's facets, light and dark columns over a height gradient
Image paintProjectile();  // projectile_512.png: a glowing orb of swirling light
