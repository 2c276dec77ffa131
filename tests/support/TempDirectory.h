#pragma once

#include <string>

namespace testsupport {

// A fresh folder under the system's temporary one, removed with all it holds when the object goes.
// When entered, it is the working directory meanwhile (the game looks up its files below that).
class TempDirectory {
public:
    explicit TempDirectory(bool enter = false);
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& path() const { return root; }
    // The absolute path of `relative`, its parent folders made.
    std::string file(const std::string& relative) const;
    // Writes `content` to `relative` and returns its absolute path.
    std::string writeText(const std::string& relative, const std::string& content) const;

private:
    std::string root;
    std::string previous;  // the working directory to return to, when entered
};

}  // namespace testsupport
