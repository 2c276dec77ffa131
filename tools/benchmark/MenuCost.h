#pragma once

struct GLFWwindow;

// What the menus add to a frame at the low level: a game on `seed` in `window`, then for each screen
// (none with three captions, the title, the pause menu, the options) the median time the menus take
// in a frame, the GPU work included (glFinish before and after), the world's own drawing not counted:
// first as the game's loop does it (a screen that has not changed over the paused world draws
// nothing), then with every frame drawn (as when the pointer moves over a screen). Prints one line
// per screen and way, in milliseconds; returns the largest median of all.
double measureMenuCost(GLFWwindow* window, unsigned seed, int frames);
