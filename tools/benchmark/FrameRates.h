#pragma once

#include <vector>

// Figures over a list of frame times (seconds).

// Median of `values` (mean of the middle two for an even count); 0 for none.
double median(std::vector<double> values);
// Nearest-rank percentile, `p` in (0, 100]; 0 for none.
double percentile(std::vector<double> values, double p);
// The highest frame rate (frames per second) whose slower frames take less than `share` (0 to 1) of
// the whole time: the frames are sorted from the slowest and their times summed until the next one
// would bring the sum to `share` of the total; the rate is that next frame's. With `share` 0.01 it is
// the steady rate a player feels, with 0.5 the typical one. 0 for no frames.
double rateWithSlowerShare(std::vector<double> frames, double share);
