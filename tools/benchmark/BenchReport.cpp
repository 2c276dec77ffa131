#include "BenchReport.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>

namespace {

struct TerrainMedians {
    double density, marching, upload, chunks, collision, total;
};

TerrainMedians terrainMedians(const std::vector<TerrainTimings>& all) {
    std::vector<double> d, m, u, k, c, t;
    for (const TerrainTimings& x : all) {
        d.push_back(x.density);
        m.push_back(x.marching);
        u.push_back(x.upload);
        k.push_back(x.chunks);
        c.push_back(x.collision);
        t.push_back(x.density + x.marching + x.upload + x.chunks + x.collision);
    }
    return {median(d), median(m), median(u), median(k), median(c), median(t)};
}

std::string ms(double seconds) {
    std::ostringstream s;
    s << std::fixed << std::setprecision(seconds < 0.1 ? 2 : 1) << seconds * 1000.0 << " ms";
    return s.str();
}

std::string fps(double rate) {
    std::ostringstream s;
    s << std::fixed << std::setprecision(1) << rate << " fps";
    return s.str();
}

std::string sec(double seconds) {
    std::ostringstream s;
    s << std::fixed << std::setprecision(3) << seconds << " s";
    return s.str();
}

std::string mb(long kb) {
    std::ostringstream s;
    s << std::fixed << std::setprecision(1) << static_cast<double>(kb) / 1024.0 << " MiB";
    return s.str();
}

std::string signedMb(long kb) { return (kb >= 0 ? "+" : "-") + mb(kb >= 0 ? kb : -kb); }

std::string share(double part, double whole) {
    std::ostringstream s;
    const double percent = whole > 0.0 ? 100.0 * part / whole : 0.0;
    s << std::fixed << std::setprecision(percent < 1.0 ? 1 : 0) << percent << " %";
    return s.str();
}

double medianOf(const std::vector<int>& values) { return median(std::vector<double>(values.begin(), values.end())); }

struct ResetMemory {
    long first = 0, last = 0, max = 0;
};

ResetMemory resetMemory(const std::vector<long>& samples) {
    ResetMemory r;
    if (samples.empty()) return r;
    r.first = samples.front();
    r.last = samples.back();
    r.max = *std::max_element(samples.begin(), samples.end());
    return r;
}

// The labelled rows shared by both forms: (label, value).
std::vector<std::pair<std::string, std::string>> rows(const BenchReport& r) {
    std::vector<std::pair<std::string, std::string>> out;
    const std::string from = r.startFromProcess ? "Process start" : "main()";
    const TerrainMedians t = terrainMedians(r.terrain);
    const std::string n = " (median of " + std::to_string(r.terrain.size()) + ")";
    out.push_back({"Terrain generation, total" + n, ms(t.total)});
    out.push_back({"  density pass with read-back", ms(t.density) + ", " + share(t.density, t.total)});
    out.push_back({"  marching cubes with read-back", ms(t.marching) + ", " + share(t.marching, t.total)});
    out.push_back({"  mesh upload", ms(t.upload) + ", " + share(t.upload, t.total)});
    out.push_back({"  shared corners and chunks", ms(t.chunks) + ", " + share(t.chunks, t.total)});
    out.push_back({"  collision shape", ms(t.collision) + ", " + share(t.collision, t.total)});
    out.push_back({"  terrain triangles (median)", std::to_string(static_cast<long>(medianOf(r.terrainTriangles)))});
    if (r.mainEntered >= 0.0) out.push_back({"Process start to main()", sec(r.mainEntered)});
    out.push_back({from + " to window and GL ready", sec(r.windowReady)});
    out.push_back({from + " to the game built", sec(r.initDone)});
    out.push_back({from + " to first frame", sec(r.firstFrame)});
    const std::string f = " (" + std::to_string(r.frameTimes.size()) + " frames)";
    out.push_back({"Frame time, median" + f, ms(median(r.frameTimes))});
    out.push_back({"Frame time, 95th percentile" + f, ms(percentile(r.frameTimes, 95.0))});
    out.push_back({"Steady rate (slower frames under 1 % of the time)", fps(rateWithSlowerShare(r.frameTimes, 0.01))});
    out.push_back({"Mostly stable rate (slower frames under 12 %)", fps(rateWithSlowerShare(r.frameTimes, 0.12))});
    out.push_back({"Typical rate (slower frames under 50 %)", fps(rateWithSlowerShare(r.frameTimes, 0.5))});
    out.push_back({"CPU time per frame, median (all threads)" + f, ms(median(r.frameCpuTimes))});
    for (const std::string& name : r.partOrder) {
        const auto& times = r.parts.at(name);
        const auto thread = r.partThreadCpu.find(name);
        if (thread == r.partThreadCpu.end()) {
            out.push_back({"  " + name + " (wall, CPU)", ms(median(times.first)) + ", " + ms(median(times.second))});
        } else {
            out.push_back(
                {"  " + name + " (wall, CPU, drawing thread)",
                 ms(median(times.first)) + ", " + ms(median(times.second)) + ", " + ms(median(thread->second))});
        }
    }
    out.push_back({"Player after the path", r.playerAfterPath});
    out.push_back({"Rock in the middle of the view on the path", r.rockInView});
    out.push_back({"Resident memory after init", mb(r.residentAfterInitKb)});
    out.push_back({"Resident memory after the frames", mb(r.residentAfterFramesKb)});
    out.push_back({"Peak resident memory before the resets", mb(r.peakAfterFramesKb)});
    if (!r.resetTimes.empty()) {
        const std::string k = " (" + std::to_string(r.resetTimes.size()) + " resets)";
        out.push_back({"Reset time, median" + k, ms(median(r.resetTimes))});
        out.push_back({"Reset time, max" + k, ms(*std::max_element(r.resetTimes.begin(), r.resetTimes.end()))});
        if (!r.framesAfterResets.empty()) {
            const size_t half = r.framesAfterResets.size() / 2;
            const std::vector<double> early(r.framesAfterResets.begin(), r.framesAfterResets.begin() + half);
            const std::vector<double> late(r.framesAfterResets.begin() + half, r.framesAfterResets.end());
            out.push_back({"Frames after the first / last half of the resets, median",
                           ms(median(early)) + " / " + ms(median(late))});
        }
        const ResetMemory m = resetMemory(r.residentAfterResetKb);
        out.push_back({"Resident memory after the first reset", mb(m.first)});
        out.push_back({"Resident memory after the last reset", mb(m.last)});
        out.push_back({"Largest growth over the first reset", signedMb(m.max - m.first)});
        out.push_back({"Growth from first to last reset", signedMb(m.last - m.first)});
    }
    out.push_back({"Peak resident memory (whole run)", mb(r.peakAtEndKb)});
    if (r.fountainCost >= 0.0) out.push_back({"A fountain in view adds", ms(r.fountainCost)});
    if (r.gameFirstPicture >= 0.0) {
        out.push_back({"The game: start to its first picture", sec(r.gameFirstPicture)});
        out.push_back({"The game: start to a playable world", sec(r.gamePlayable)});
    }
    return out;
}

}  // namespace

void BenchReport::printPlain(std::ostream& out) const {
    out << "Quillmarsh benchmark, " << width << " x " << height << ", quality " << quality << ", landscape seeds from "
        << terrainSeed << "\n";
    out << "Renderer: " << renderer << " / OpenGL " << glVersion << "\n";
    for (const auto& row : rows(*this)) out << std::left << std::setw(52) << row.first << row.second << "\n";
    if (!residentAfterResetKb.empty()) {
        out << "Resident memory after each reset (MiB):";
        for (long kb : residentAfterResetKb)
            out << " " << std::fixed << std::setprecision(1) << static_cast<double>(kb) / 1024.0;
        out << "\n";
    }
    out.flush();
}

void BenchReport::printMarkdown(std::ostream& out) const {
    out << "| Measure | Value |\n|---|---|\n";
    out << "| Renderer | " << renderer << " |\n| OpenGL version | " << glVersion << " |\n";
    out << "| Window | " << width << " × " << height << " |\n| Quality | " << quality << " |\n";
    out << "| Landscape seeds | " << terrainSeed << " and up |\n";
    for (const auto& row : rows(*this)) {
        std::string label = row.first;
        // Markdown tables drop leading spaces; keep the split visibly under its total.
        if (label.rfind("  ", 0) == 0) label = "— " + label.substr(2);
        out << "| " << label << " | " << row.second << " |\n";
    }
    if (!residentAfterResetKb.empty()) {
        out << "\nResident memory after each reset (MiB, " << framesBetweenResets << " frames after each):\n\n";
        for (size_t i = 0; i < residentAfterResetKb.size(); ++i)
            out << (i ? ", " : "") << std::fixed << std::setprecision(1)
                << static_cast<double>(residentAfterResetKb[i]) / 1024.0;
        out << "\n";
    }
}

void BenchReport::printSummary(std::ostream& out) const {
    out << std::setprecision(6);
    out << "quality " << quality << "\n";
    out << "startup " << firstFrame << "\n";
    out << "walk_median " << median(frameTimes) << "\n";
    out << "walk_p95 " << percentile(frameTimes, 95.0) << "\n";
    out << "walk_cpu " << median(frameCpuTimes) << "\n";
    out << "walk_steady " << rateWithSlowerShare(frameTimes, 0.01) << "\n";
    out << "walk_stable " << rateWithSlowerShare(frameTimes, 0.12) << "\n";
    out << "walk_typical " << rateWithSlowerShare(frameTimes, 0.5) << "\n";
    out << "fountain " << fountainCost << "\n";
    out << "first_picture " << gameFirstPicture << "\n";
    out << "playable " << gamePlayable << "\n";
    out << "lake_over " << median(lakeOver) << "\n";
    out << "lake_away " << median(lakeAway) << "\n";
    out << "peak_kb " << std::max(peakAtEndKb, peakAfterFramesKb) << "\n";
}
