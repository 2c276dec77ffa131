#include "app/FrameLimiter.h"

#include <thread>

FrameLimiter::FrameLimiter(int fpsLimit, Clock clockSource, Sleep sleeper)
    : clock(std::move(clockSource)), sleep(std::move(sleeper)) {
    setLimit(fpsLimit);
}

void FrameLimiter::setLimit(int fpsLimit) {
    period = std::chrono::nanoseconds(fpsLimit > 0 ? 1000000000LL / fpsLimit : 0);
    started = false;
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
