#pragma once

#include <chrono>
#include <functional>

// Holds the frame loop to at most a given number of frames per second by sleeping after each
// frame. A frame slower than the limit is not followed by quicker ones to make up for it.
class FrameLimiter {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Clock = std::function<TimePoint()>;
    using Sleep = std::function<void(std::chrono::nanoseconds)>;

    // `fpsLimit` 0 (or less) never sleeps. The defaults are the steady clock and a thread sleep.
    explicit FrameLimiter(int fpsLimit, Clock clock = std::chrono::steady_clock::now, Sleep sleep = defaultSleep);

    // Called once per frame, after the buffer swap: sleeps until the frame has had its share of a second
    // (counted from the end of the previous frame's wait).
    void endFrame();
    // A new limit from the next frame on (0: none).
    void setLimit(int fpsLimit);

private:
    static void defaultSleep(std::chrono::nanoseconds duration);

    std::chrono::nanoseconds period{0};
    Clock clock;
    Sleep sleep;
    TimePoint frameStart{};
    bool started = false;
};
