// Loaded into the game with LD_PRELOAD by freewalk.py: writes the steady clock's time (ns) at the start
// and the end of every buffer swap, one line a swap, into the file named by SWAP_LOG. The frame times
// of a free walk are the gaps between the starts; nothing is drawn or measured inside the game.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

struct GLFWwindow;

namespace {

long long nanoseconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

std::FILE* logFile() {
    static std::FILE* file = [] {
        const char* path = std::getenv("SWAP_LOG");
        std::FILE* opened = std::fopen(path ? path : "swaps.txt", "w");
        if (!opened) std::perror(path ? path : "swaps.txt");
        return opened;
    }();
    return file;
}

}  // namespace

extern "C" void glfwSwapBuffers(GLFWwindow* window) {
    using Swap = void (*)(GLFWwindow*);
    static const Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "glfwSwapBuffers"));
    const long long start = nanoseconds();
    if (real) real(window);
    const long long end = nanoseconds();
    if (std::FILE* file = logFile()) {
        std::fprintf(file, "%lld %lld\n", start, end);
        std::fflush(file);
    }
}
