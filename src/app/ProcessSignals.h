#pragma once

// Process-wide signal dispositions the game sets once at start-up.

// A write past the file-size limit (ulimit -f) then fails with "File too large", which the writer
// reports, instead of ending the process with SIGXFSZ (for the score file, in the middle of a round's
// end, leaving an empty temporary file behind).
void ignoreFileSizeSignal();
