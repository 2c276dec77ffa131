#pragma once

struct GLFWwindow;

// What the menus add to a frame at the low level: a game on `seed` in `window`, then for each screen
// (none with three captions, the title, the pause menu, the options) the median time of drawing the
// menus over the finished frame, the GPU work included (glFinish before and after). Prints one line
// per screen, in milliseconds; returns the largest median.
double measureMenuCost(GLFWwindow* window, unsigned seed, int frames);
