#include "app/RasterThreads.h"

#include <cctype>
#include <filesystem>
#include <fstream>

#ifdef __linux__
#include <sched.h>
#endif

namespace {

const std::string kRasterPrefix = "llvmpipe-";

// The thread's number when `name` is a raster thread's, else -1.
long rasterNumber(const std::string& name) {
    if (name.size() <= kRasterPrefix.size() || name.compare(0, kRasterPrefix.size(), kRasterPrefix) != 0) return -1;
    const std::string digits = name.substr(kRasterPrefix.size());
    // The kernel keeps 15 characters of a thread's name; a longer number is no raster thread's.
    if (digits.size() > 6) return -1;
    for (const char c : digits)
        if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
    return std::stol(digits);
}

}  // namespace

std::vector<ThreadPlace> placeRasterThreads(const std::vector<ThreadName>& threads, const std::vector<int>& cpus) {
    std::vector<ThreadPlace> places;
    if (cpus.size() < 2) return places;
    for (const ThreadName& thread : threads) {
        const long number = rasterNumber(thread.name);
        if (number < 0) continue;
        places.push_back({thread.id, cpus[static_cast<size_t>(number) % cpus.size()]});
    }
    return places;
}

#ifdef __linux__

int spreadRasterThreads() {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return 0;
    std::vector<int> cpus;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
        if (CPU_ISSET(cpu, &allowed)) cpus.push_back(cpu);

    std::vector<ThreadName> threads;
    try {
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
            std::ifstream comm(entry.path() / "comm");
            ThreadName thread;
            if (!std::getline(comm, thread.name)) continue;  // the thread has ended
            thread.id = std::stol(entry.path().filename().string());
            threads.push_back(thread);
        }
    } catch (const std::exception&) {
        return 0;  // no /proc: nothing is moved
    }

    int placed = 0;
    for (const ThreadPlace& place : placeRasterThreads(threads, cpus)) {
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(place.cpu, &one);
        if (sched_setaffinity(static_cast<pid_t>(place.id), sizeof one, &one) == 0) ++placed;
    }
    return placed;
}

#else

int spreadRasterThreads() { return 0; }

#endif
