#pragma once

// One draw of the game's random numbers, 0 to 32767, from the C library's rand().
// The spawn and generation formulas are written for that 15-bit range, while glibc's rand() goes up
// to RAND_MAX = 2147483647; the top 15 bits keep the draws uniform and the formulas in range.
// The game seeds rand() once per world (srand), and the landscape, grass, diamonds, fountains and
// enemies of that world draw one after another from there, so one seed makes the whole world.
int randomDraw();

// A seed for a new world from the system's entropy source mixed with a high-resolution clock: two
// worlds made within the same second (R pressed twice) still get different seeds.
unsigned int freshSeed();
