#pragma once

// One draw of the game's random numbers, 0 to 32767, from the C library's rand().
// The spawn and generation formulas are written for that 15-bit range, while glibc's rand() goes up
// to RAND_MAX = 2147483647; the top 15 bits keep the draws uniform and the formulas in range.
// Reseeding stays with srand().
int randomDraw();
