#pragma once

#include <string>

// An exclusive lock (flock) on a lock file, held from construction to destruction, so that two
// processes reading, merging and writing the same data take turns. Waits for a lock another holds.
// Where the lock file cannot be made (a read-only folder) nothing is locked: `held()` is false.
class FileLock {
public:
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return fd >= 0; }

private:
    int fd = -1;
};
