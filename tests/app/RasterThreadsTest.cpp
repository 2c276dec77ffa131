#include "app/RasterThreads.h"
#include "support/GlContext.h"

#include <GL/glew.h>
#include <gtest/gtest.h>
#include <sched.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace {

// Only the raster threads move, the one numbered n to the n-th processor allowed (wrapping round),
// and nothing moves where there is no second processor to spread them over.
TEST(RasterThreadsTest, PlacesOnlyRasterThreadsByTheirNumbers) {
    const std::vector<ThreadName> threads = {
        {10, "quillmarsh"},  {11, "llvmpipe-1"},  {12, "llvmpipe-0"},
        {13, "llvmpipe-2"},  {14, "llvmpipe-"},   {15, "llvmpipe-x"},
        {16, "xllvmpipe-0"}, {17, "llvmpipe-1a"}, {18, "llvmpipe-99999999999999999999"}};
    const std::vector<ThreadPlace> places = placeRasterThreads(threads, {3, 6});
    ASSERT_EQ(places.size(), 3u);
    EXPECT_EQ(places[0].id, 11);
    EXPECT_EQ(places[0].cpu, 6);
    EXPECT_EQ(places[1].id, 12);
    EXPECT_EQ(places[1].cpu, 3);
    EXPECT_EQ(places[2].id, 13);
    EXPECT_EQ(places[2].cpu, 3);
    EXPECT_TRUE(placeRasterThreads(threads, {4}).empty());
}

std::string allowedList(const std::filesystem::path& task) {
    std::ifstream status(task / "status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Cpus_allowed_list:", 0) == 0) return line.substr(line.find_first_not_of(" \t", 18));
    return "";
}

// Against the real driver: Mesa's software renderer names its threads as looked for, and each ends up
// on a processor of its own.
TEST(RasterThreadsTest, TheSoftwareRenderersThreadsEachGetAProcessor) {
    testsupport::glWindow();
    cpu_set_t allowed;
    ASSERT_EQ(sched_getaffinity(0, sizeof allowed, &allowed), 0);
    const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (renderer.find("llvmpipe") == std::string::npos || CPU_COUNT(&allowed) < 2)
        GTEST_SKIP() << "needs llvmpipe and two processors; have " << renderer;

    const int placed = spreadRasterThreads();
    std::set<std::string> processors;
    int rasterThreads = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name.rfind("llvmpipe-", 0) != 0) continue;
        ++rasterThreads;
        processors.insert(allowedList(task.path()));
    }
    EXPECT_GE(rasterThreads, 1);
    EXPECT_EQ(placed, rasterThreads);
    EXPECT_EQ(static_cast<int>(processors.size()), std::min(rasterThreads, CPU_COUNT(&allowed)));
    for (const std::string& list : processors)
        EXPECT_EQ(list.find_first_of(",-"), std::string::npos) << "more than one processor: " << list;
    // The game's own thread keeps every processor it had.
    cpu_set_t after;
    ASSERT_EQ(sched_getaffinity(0, sizeof after, &after), 0);
    EXPECT_TRUE(CPU_EQUAL(&after, &allowed));
}

}  // namespace
