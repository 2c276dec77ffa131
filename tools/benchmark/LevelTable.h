#pragma once

#include <string>
#include <vector>

// What the table of levels runs: every level at every window size, each in a process of its own so
// that start-up and peak memory are that level's alone, `runs` times over; the table gives the median
// of each figure. A level's frames are its entry in `frames` unless `framesGiven` overrides them all
// (high is slow under a software renderer, so it walks fewer frames).
struct LevelTableOptions {
    std::vector<std::string> levels{"low", "medium", "high"};
    std::vector<std::string> sizes{"960x540", "1920x1080"};
    std::vector<int> frames{300, 100, 20};   // per level, in the order of `levels`
    std::vector<int> lakeFrames{30, 15, 6};  // the same for each of the two lake views
    int framesGiven = 0;                     // > 0: every level walks this many frames
    int resets = 2;
    int seed = 1;
    int runs = 1;
    std::string markdownPath;  // also write the table as Markdown
};

// Runs `benchmark` (this program) once per level and size with --summary, then prints one row per
// level and size. Returns 0 when every run reported its figures.
int runLevelTable(const std::string& benchmark, const LevelTableOptions& options);
