// assetgen: writes the game's models and textures below an output folder (the repository's res/).
//   assetgen OUTDIR             every asset
//   assetgen OUTDIR PATH...     only the named assets ("models/diamond.dae", "textures/item_64.png")
//   assetgen --list             the asset paths, one a line
// The output depends on nothing but this program, so two runs write the same bytes.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "AssetCatalog.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::vector<Asset> catalog = assetCatalog();
    if (argc == 2 && std::string(argv[1]) == "--list") {
        for (const Asset& a : catalog) std::printf("%s\n", a.path.c_str());
        return 0;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTDIR [ASSET...] | --list\n", argv[0]);
        return 2;
    }
    fs::path outDir = argv[1];
    std::set<std::string> wanted(argv + 2, argv + argc);
    std::vector<const Asset*> jobs;
    for (const Asset& a : catalog)
        if (wanted.empty() || wanted.count(a.path)) jobs.push_back(&a);
    for (const std::string& w : wanted) {
        bool known = false;
        for (const Asset& a : catalog) known = known || a.path == w;
        if (!known) {
            std::fprintf(stderr, "assetgen: unknown asset %s\n", w.c_str());
            return 2;
        }
    }

    auto start = std::chrono::steady_clock::now();
    // Assets are independent (each paints from its own seeds), so they are shared out over the cores.
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex printLock;
    auto worker = [&] {
        for (size_t i = next++; i < jobs.size() && !failed; i = next++) {
            fs::path target = outDir / jobs[i]->path;
            try {
                fs::create_directories(target.parent_path());
                jobs[i]->write(target.string());
            } catch (const std::exception& e) {
                std::lock_guard<std::mutex> lock(printLock);
                std::fprintf(stderr, "assetgen: %s: %s\n", jobs[i]->path.c_str(), e.what());
                failed = true;
            }
        }
    };
    unsigned threads = std::max(1u, std::min(std::thread::hardware_concurrency(), 4u));
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t) pool.emplace_back(worker);
    for (std::thread& t : pool) t.join();
    if (failed) return 1;
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("assetgen: wrote %zu assets to %s in %.1f s\n", jobs.size(), outDir.string().c_str(), seconds);
    return 0;
}
