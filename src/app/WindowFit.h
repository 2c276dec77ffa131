#pragma once

// A window size in screen coordinates.
struct WindowSize {
    int width = 0;
    int height = 0;
};

// `requested` when it fits `workArea` (or the work area is unknown, a side 0 or less); otherwise
// the largest size of the same aspect ratio that fits, each side at least 1.
WindowSize fitToWorkArea(const WindowSize& requested, const WindowSize& workArea);
