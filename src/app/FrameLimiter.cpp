#include "app/FrameLimiter.h"

#include <thread>

FrameLimiter::FrameLimiter(int fpsLimit, Clock clockSource, Sleep sleeper)
    : clock(std::move(clockSource)), sleep(std::move(sleeper)) {
    if (fpsLimit > 0) period = std::chrono::nanoseconds(1000000000LL / fpsLimit);
}

void FrameLimiter::defaultSleep(std::chrono::nanoseconds duration) { std::this_thread::sleep_for(duration); }

void FrameLimiter::endFrame() {
    if (period.count() == 0) return;
    const TimePoint now = clock();
    const TimePoint due = frameStart + period;
    if (!started || now >= due) {
        // The first frame, or a slow one: the next frame's share starts now.
        started = true;
        frameStart = now;
        return;
    }
    sleep(due - now);
    // Counted from when the wait was due to end, so oversleeping a little does not slow the rate.
    frameStart = due;
}
