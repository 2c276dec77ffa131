#include "support/TempDirectory.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testsupport {

TempDirectory::TempDirectory(bool enter) {
    std::string pattern = (fs::temp_directory_path() / "quillmarsh-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed for " + pattern);
    root = pattern;
    if (!enter) return;
    previous = fs::current_path().string();
    fs::current_path(root);
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    if (!previous.empty()) fs::current_path(previous, ignored);
    fs::remove_all(root, ignored);
}

std::string TempDirectory::writeText(const std::string& relative, const std::string& content) const {
    const fs::path full = fs::path(root) / relative;
    fs::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary) << content;
    return full.string();
}

}  // namespace testsupport
