#pragma once

#include <cstddef>
#include <string>

// A whole file read in one go, or why it could not be. Only regular files are read: a folder, a FIFO
// or a device is refused without being opened for long, so nothing blocks on a pipe no one writes to.
struct WholeFile {
    enum class Status { Read, Missing, NotRegular, TooLarge, Failed };

    // Reads `path` when it is a regular file of at most `maxBytes` bytes.
    static WholeFile read(const std::string& path, size_t maxBytes);

    bool ok() const { return status == Status::Read; }

    Status status = Status::Failed;
    std::string content;  // the bytes, as they are (empty unless read)
    std::string reason;   // why not, in words ("No such file or directory", "is a directory" ...)
};
