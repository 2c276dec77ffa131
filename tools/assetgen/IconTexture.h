#pragma once

#include "Image.h"

// icons/quillmarsh_256.png: the desktop icon, the cat's head before a green hill under a blue sky,
// with a diamond, on a rounded square.
Image paintIcon();
