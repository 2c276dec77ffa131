#pragma once

#include "Image.h"

// Textures of the player's model, painted for the texture coordinates of CatRig.
Image paintPillow();   // pillow_512.png
Image paintCatBody();  // cat_body_512.png
Image paintCatTail();  // cat_tail_256.png
Image paintCatEyes();  // cat_eyes_256.png
