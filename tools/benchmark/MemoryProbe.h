#pragma once

#include <string>

// Resident memory of this process as the kernel reports it in /proc/self/status, in kibibytes.
struct MemorySample {
    long residentKb = -1;  // VmRSS: resident now
    long peakKb = -1;      // VmHWM: the high-water mark of VmRSS since the process started
};

// Reads the current sample; fields the kernel does not report stay -1.
MemorySample sampleMemory(const std::string& statusPath = "/proc/self/status");

// Seconds since this process was started by the kernel (before the loader and static
// initialisers ran), from /proc/self/stat; negative when that cannot be read.
double secondsSinceProcessStart();
