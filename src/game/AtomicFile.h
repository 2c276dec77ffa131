#pragma once

#include <string>

// Replaces a file in one step: the new content goes to a temporary file beside it, is flushed to
// the disk, and is renamed over the old file. A crash or power cut at any moment leaves either the
// old file or the new one, never half of either.
class AtomicFile {
public:
    // Writes `content` to `path`. On failure returns false with the reason in `error`; the old file
    // is then untouched and no temporary file is left behind.
    static bool write(const std::string& path, const std::string& content, std::string& error);
    // The temporary file write() uses for `path` in this process.
    static std::string temporaryPath(const std::string& path);
};
