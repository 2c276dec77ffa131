#pragma once

#include <cstdint>
#include <functional>

// A steady clock in nanoseconds: it never jumps back or forward with the calendar.
using NanoClock = std::function<int64_t()>;

int64_t steadyNanoseconds();

// Turns the time between frames into fixed ticks: `ticksPerSecond` of them a second of the steady
// clock, however the frames fall. A frame runs the ticks its time allows but at most
// `maxTicksPerFrame`; time beyond that (a stall, a suspend, a slow operation between frames) is
// dropped, never caught up in a burst. What is left of a tick waits for the next frame.
class TickClock {
public:
    explicit TickClock(int ticksPerSecond = 60, int maxTicksPerFrame = 5);

    // The clock reads `now`: how many ticks are due. The first reading only starts the clock.
    int advance(int64_t now);
    // Forgets the time since the last reading: the next frame counts from `now` (after a pause or a
    // long operation that must not count as play).
    void restart(int64_t now);
    // How far the time is into the next tick, 0 to 1 (for drawing between two ticks).
    float alpha() const;

    int ticksPerSecond() const { return rate; }
    int maxTicksPerFrame() const { return maxTicks; }

private:
    int rate;
    int maxTicks;
    bool started = false;
    int64_t last = 0;
    // Time owed to the ticks, in nanoseconds times the rate, so a tick is exactly 10^9 of these units.
    int64_t owed = 0;
};
