#include "MemoryProbe.h"

#include <time.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace {

// "VmRSS:    123456 kB" -> 123456
long kilobytesAfter(const std::string& line, const char* key) {
    const std::string prefix = key;
    if (line.compare(0, prefix.size(), prefix) != 0) return -1;
    std::istringstream rest(line.substr(prefix.size()));
    long value = -1;
    rest >> value;
    return rest ? value : -1;
}

}  // namespace

MemorySample sampleMemory(const std::string& statusPath) {
    MemorySample sample;
    std::ifstream status(statusPath);
    std::string line;
    while (std::getline(status, line)) {
        const long rss = kilobytesAfter(line, "VmRSS:");
        if (rss >= 0) sample.residentKb = rss;
        const long hwm = kilobytesAfter(line, "VmHWM:");
        if (hwm >= 0) sample.peakKb = hwm;
    }
    return sample;
}

double secondsSinceProcessStart() {
    std::ifstream statFile("/proc/self/stat");
    std::string stat;
    std::getline(statFile, stat);
    // The command name (field 2) is in parentheses and may hold spaces; the fields after the last
    // ')' start with field 3, and the start time is field 22, in clock ticks after boot.
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1.0;
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    unsigned long long startTicks = 0;
    for (int index = 3; index <= 22 && fields >> field; ++index)
        if (index == 22) startTicks = std::stoull(field);
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    if (startTicks == 0 || ticksPerSecond <= 0) return -1.0;
    // The kernel counts the start time on the boot-time clock, suspends included.
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1.0;
    const double nowSeconds = static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    return nowSeconds - static_cast<double>(startTicks) / static_cast<double>(ticksPerSecond);
}
