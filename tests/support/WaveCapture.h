#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace testsupport {

// Points OpenAL Soft at its wave-file backend for the rest of the test process: the default device
// then writes what it mixes (stereo, 16-bit, 44.1 kHz) to a file, in real time from its mixer thread,
// and completes the file when it is closed. Has to be in place before the process's first OpenAL
// call; every capture of a process uses the same file.
class WaveCapture {
public:
    // Configures the backend (once per process) and removes any earlier recording.
    WaveCapture();

    struct Stereo {
        int rate = 0;
        std::vector<float> left;  // samples in [-1, 1]
        std::vector<float> right;
    };
    bool written() const;
    // The completed recording; empty when there is none or it cannot be read.
    Stereo read() const;

    static constexpr int kRate = 44100;

private:
    std::string file;
};

// Root mean square of samples [from, to), clipped to the signal.
float rms(const std::vector<float>& samples, size_t from, size_t to);

}  // namespace testsupport
