#pragma once

#include <string>
#include <vector>

struct GLFWwindow;

// How far the cat walks in one second, how high it jumps with space held and how long a rabbit's
// 1.5-second shot countdown really takes, played at a given frame rate on a clock that advances
// exactly 1/fps per frame. The same figures at several rates show whether play depends on the
// frame rate.
struct MotionFigures {
    double fps = 0.0;
    double walkDistance = 0.0;  // horizontal units walked with W held for one second
    double jumpHeight = 0.0;    // highest point above the start with space held
    double shotInterval = 0.0;  // seconds from a shot to the next with the countdown set to 1.5 s
};

// Builds a game on `seed` in `window` for every rate and measures on open water (flat, nothing in
// the way, enemies and diamonds taken away). Prints one line per rate.
std::vector<MotionFigures> measureMotion(GLFWwindow* window, unsigned seed, const std::vector<double>& rates);
