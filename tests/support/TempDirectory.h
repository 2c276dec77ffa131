#pragma once

#include <string>

namespace testsupport {

// A fresh directory under the system's temporary folder, removed with everything in it when the
// object goes. Paths handed in are relative to it; missing parent folders are created on write.
class TempDirectory {
public:
    TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    ~TempDirectory();

    const std::string& path() const { return root; }
    // Absolute path of `relative`, creating its parent folders.
    std::string file(const std::string& relative) const;
    // Writes `content` to `relative` as is and returns the absolute path.
    std::string writeText(const std::string& relative, const std::string& content) const;

private:
    std::string root;
};

// Makes `directory` the working directory until the object goes, then returns to the previous one.
class ScopedWorkingDirectory {
public:
    explicit ScopedWorkingDirectory(const std::string& directory);
    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;
    ~ScopedWorkingDirectory();

private:
    std::string previous;
};

}  // namespace testsupport
