#pragma once

#include "Image.h"

// Textures of the rabbits, painted for the texture coordinates of RabbitRig.
Image paintRabbitBody();  // rabbit_body_512.png (the wings of the flying rabbit included)
Image paintRabbitEye();   // rabbit_eye_256.png
