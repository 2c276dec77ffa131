#pragma once

#include <string>
#include <vector>

// A software renderer draws on threads of its own: Mesa's llvmpipe names them "llvmpipe-0",
// "llvmpipe-1" and so on, one a processor. Left to the scheduler, a thread woken by another often
// queues behind it on the same processor while the next one idles, for as long as a scheduler tick
// (4 ms): on a 2-core machine the picture then waits on one core. Kept each on a processor of its own,
// they never queue behind each other. The game's own threads are left where the scheduler puts them.

struct ThreadName {
    long id = 0;
    std::string name;
};

struct ThreadPlace {
    long id = 0;
    int cpu = 0;
};

// Where each raster thread among `threads` goes: the one numbered n on processor cpus[n % size],
// so that as many share a processor as must. Nothing to place on fewer than two processors, and
// threads of any other name are left alone.
std::vector<ThreadPlace> placeRasterThreads(const std::vector<ThreadName>& threads, const std::vector<int>& cpus);

// Places this process's raster threads (read from /proc/self/task) on the processors it may use.
// Returns how many were placed; 0 where there are none (a hardware driver), where the process may use
// only one processor, or off Linux. A thread that cannot be moved is skipped.
int spreadRasterThreads();
