#pragma once

#include "FrameRates.h"
#include "terrain/AdvancedTerrain.h"

#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Everything one benchmark run measured, and its two printed forms. Times are seconds, memory
// kibibytes.
struct BenchReport {
    std::string renderer;   // GL_RENDERER
    std::string glVersion;  // GL_VERSION
    std::string quality;    // the graphics level drawn, e.g. "low (auto)"
    int width = 0;
    int height = 0;

    double mainEntered = -1.0;     // process start to main(); negative when unknown
    double windowReady = 0.0;      // process start to a current context with GL entry points
    double initDone = 0.0;         // process start to the game built (its first world made)
    double firstFrame = 0.0;       // process start to the first swapped frame
    bool startFromProcess = true;  // false: the times above count from main() instead

    // The first world's landscape first, then one per reset.
    std::vector<TerrainTimings> terrain;
    std::vector<int> terrainTriangles;

    std::vector<double> frameTimes;     // the scripted path, after the first frame
    std::vector<double> frameCpuTimes;  // CPU time of the whole process (all threads) per path frame
    // With --parts: per part of a path frame, its wall and CPU times (in the order first seen).
    std::map<std::string, std::pair<std::vector<double>, std::vector<double>>> parts;
    // And the CPU time of the thread that draws: the renderer's vertex work and triangle set-up,
    // without its rasteriser threads and without time lost to other processes.
    std::map<std::string, std::vector<double>> partThreadCpu;
    std::vector<std::string> partOrder;
    unsigned int terrainSeed = 0;  // seed of the first landscape; each reset takes the next one
    std::string playerAfterPath;   // where the path left the player (on the ground or not)
    std::string rockInView;        // how often rock filled the middle of the view on the path
    long residentAfterInitKb = 0;
    long residentAfterFramesKb = 0;
    long peakAfterFramesKb = 0;

    std::vector<double> resetTimes;
    std::vector<double> framesAfterResets;   // standing still after each reset, to see that frames do not slow down
    std::vector<long> residentAfterResetKb;  // sampled after each reset and the frames following it
    int framesBetweenResets = 0;
    long peakAtEndKb = 0;

    // Frames standing on a lake shore, facing the water and facing away (empty: no shore found).
    std::vector<double> lakeOver;
    std::vector<double> lakeAway;
    // What one fountain in view adds to a frame: its particle step and density pass plus its surface
    // (medians); negative when not measured.
    double fountainCost = -1.0;
    // The game program's own start, run with --startup-report: process start to its first picture and
    // to a playable world; negative when not measured.
    double gameFirstPicture = -1.0;
    double gamePlayable = -1.0;

    void printPlain(std::ostream& out) const;
    void printMarkdown(std::ostream& out) const;
    // The headline figures as "key value" lines, for the table of levels (see LevelTable).
    void printSummary(std::ostream& out) const;
};
