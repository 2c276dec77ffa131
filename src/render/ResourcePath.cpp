#include "render/ResourcePath.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Empty while the data lives in the working directory.
std::string& chosenRoot() {
    static std::string root;
    return root;
}

}  // namespace

std::string getCurrentWorkingDirectory() {
    // A null buffer lets the C library allocate one of the right size; we own it afterwards.
    char* buffer = getcwd(nullptr, 0);
    if (buffer == nullptr) {
        std::perror("_getcwd error");
        return "";
    }
    std::string directory(buffer);
    std::free(buffer);
    return directory;
}

std::string resourceRoot() { return chosenRoot().empty() ? getCurrentWorkingDirectory() : chosenRoot(); }

void setResourceRoot(const std::string& directory) { chosenRoot() = directory; }
