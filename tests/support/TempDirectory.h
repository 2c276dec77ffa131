#pragma once

#include <string>

namespace testsupport {

// A fresh temporary folder, removed when it goes; when entered, the working directory meanwhile.
class TempDirectory {
public:
    explicit TempDirectory(bool enter = false);
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& path() const { return root; }
    // Writes `content` to `relative`, making its folders, and returns its absolute path.
    std::string writeText(const std::string& relative, const std::string& content) const;

private:
    std::string root;
    std::string previous;  // the working directory to return to, when entered
};

}  // namespace testsupport
