#pragma once

#include <vector>

// A window size in screen coordinates.
struct WindowSize {
    int width = 0;
    int height = 0;
};

// `requested` when it fits `workArea` (or the work area is unknown, a side 0 or less); otherwise
// the largest size of the same aspect ratio that fits, each side at least 1.
WindowSize fitToWorkArea(const WindowSize& requested, const WindowSize& workArea);

// A rectangle of the desktop in screen coordinates.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The index of the monitor in `monitors` that holds the largest part of `window` (the one it is on),
// or 0 when it overlaps none of them; -1 when there is no monitor.
int monitorUnder(const ScreenRect& window, const std::vector<ScreenRect>& monitors);
