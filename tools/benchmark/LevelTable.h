#pragma once

#include <string>
#include <vector>

// What the table of levels runs: every level at every window size, each in a process of its own so
// that start-up and peak memory are that level's alone.
struct LevelTableOptions {
    std::vector<std::string> levels{"low", "medium", "high"};
    std::vector<std::string> sizes{"960x540", "1920x1080"};
    int frames = 300;
    int resets = 5;
    int seed = 1;
    std::string markdownPath;  // also write the table as Markdown
};

// Runs `benchmark` (this program) once per level and size with --summary, then prints one row per
// run. Returns 0 when every run reported its figures.
int runLevelTable(const std::string& benchmark, const LevelTableOptions& options);
