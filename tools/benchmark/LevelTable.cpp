#include "LevelTable.h"

#include "FrameRates.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace {

using Figures = std::map<std::string, std::string>;

struct Row {
    std::string level;
    std::string size;
    std::vector<Figures> runs;  // the figures of each run that reported them
    int failed = 0;
};

Figures readFigures(const std::string& path) {
    Figures figures;
    std::ifstream in(path);
    std::string key;
    while (in >> key) {
        std::string value;
        std::getline(in >> std::ws, value);
        figures[key] = value;
    }
    return figures;
}

// The median over the runs of one figure; negative when no run has it (or has it negative, unmeasured).
double figure(const Row& row, const std::string& key) {
    std::vector<double> values;
    for (const Figures& f : row.runs) {
        const auto found = f.find(key);
        if (found != f.end() && std::atof(found->second.c_str()) >= 0.0)
            values.push_back(std::atof(found->second.c_str()));
    }
    return values.empty() ? -1.0 : median(values);
}

std::string fixed(double value, int digits, const char* unit) {
    if (value < 0.0) return "–";
    std::ostringstream s;
    s << std::fixed << std::setprecision(digits) << value << unit;
    return s.str();
}

std::string ms(double seconds) {
    if (seconds < 0.0) return "–";
    return fixed(seconds * 1000.0, seconds < 0.1 ? 1 : 0, " ms");
}

// Frames per second: whole ones, tenths below 10.
std::string rate(double fps) { return fixed(fps, fps < 10.0 ? 1 : 0, ""); }

std::vector<std::string> cells(const Row& row) {
    if (row.runs.empty()) return {row.level, row.size, "failed"};
    const double over = figure(row, "lake_over"), away = figure(row, "lake_away");
    return {row.runs.front().at("quality"),
            row.size,
            ms(figure(row, "walk_median")),
            ms(figure(row, "walk_p95")),
            rate(figure(row, "walk_steady")) + " / " + rate(figure(row, "walk_stable")) + " / " +
                rate(figure(row, "walk_typical")),
            ms(over) + " / " + ms(away),
            fixed(over > 0.0 && away > 0.0 ? over / away : -1.0, 2, " ×"),
            ms(figure(row, "fountain")),
            fixed(figure(row, "first_picture"), 2, " s") + " / " + fixed(figure(row, "playable"), 2, " s"),
            fixed(figure(row, "peak_kb") / 1024.0, 0, " MiB")};
}

const std::vector<std::string> kHeadings = {
    "Level",
    "Window",
    "Walk median",
    "Walk p95",
    "Steady / stable / typical fps",
    "Lake / away",
    "Lake ÷ away",
    "Fountain adds",
    "First picture / playable",
    "Peak memory",
};

void printPlain(const std::vector<Row>& rows) {
    for (const std::string& heading : kHeadings) std::cout << heading << " | ";
    std::cout << "\n";
    for (const Row& row : rows) {
        for (const std::string& cell : cells(row)) std::cout << cell << " | ";
        std::cout << "\n";
    }
}

void printMarkdown(const std::vector<Row>& rows, std::ostream& out) {
    out << "|";
    for (const std::string& heading : kHeadings) out << " " << heading << " |";
    out << "\n|";
    for (size_t i = 0; i < kHeadings.size(); ++i) out << "---|";
    out << "\n";
    for (const Row& row : rows) {
        std::string size = row.size;
        const size_t x = size.find('x');
        if (x != std::string::npos) size = size.substr(0, x) + " × " + size.substr(x + 1);
        std::vector<std::string> line = cells(row);
        if (line.size() > 1) line[1] = size;
        out << "|";
        for (const std::string& cell : line) out << " " << cell << " |";
        out << "\n";
    }
}

// The one-minute load average, as /proc/loadavg has it.
std::string loadNow() {
    std::ifstream in("/proc/loadavg");
    std::string oneMinute;
    in >> oneMinute;
    return oneMinute.empty() ? "unknown" : oneMinute;
}

}  // namespace

int runLevelTable(const std::string& benchmark, const LevelTableOptions& options) {
    std::vector<Row> rows;
    for (const std::string& size : options.sizes)
        for (const std::string& level : options.levels) rows.push_back(Row{level, size, {}, 0});
    std::vector<std::string> loads;
    for (int run = 0; run < options.runs; ++run) {
        loads.push_back(loadNow());
        std::cerr << "quillmarsh_bench: run " << run + 1 << " of " << options.runs << ", one-minute load "
                  << loads.back() << std::endl;
        for (Row& row : rows) {
            size_t index = 0;
            while (index + 1 < options.levels.size() && options.levels[index] != row.level) ++index;
            const int frames = options.framesGiven > 0 ? options.framesGiven : options.frames.at(index);
            const std::string stem =
                "/tmp/quillmarsh-bench-" + std::to_string(getpid()) + "-" + row.level + "-" + row.size;
            const std::string summary = stem + ".txt", log = stem + ".log";
            std::ostringstream command;
            command << "'" << benchmark << "' --quality " << row.level << " --size " << row.size << " --frames "
                    << frames << " --lake-frames " << options.lakeFrames.at(index) << " --resets " << options.resets
                    << " --seed " << options.seed << " --summary '" << summary << "' > '" << log << "' 2>&1";
            std::cerr << "quillmarsh_bench: " << row.level << " at " << row.size << " ..." << std::endl;
            const int status = std::system(command.str().c_str());
            const Figures figures = status == 0 ? readFigures(summary) : Figures();
            if (figures.empty()) {
                ++row.failed;
                std::cerr << "quillmarsh_bench: the " << row.level << " run at " << row.size << " failed; see " << log
                          << std::endl;
            } else {
                row.runs.push_back(figures);
                std::remove(log.c_str());
            }
            std::remove(summary.c_str());
        }
    }
    std::ostringstream loadLine;
    loadLine << "One-minute load before each run:";
    for (const std::string& load : loads) loadLine << " " << load;
    std::cout << loadLine.str() << "\n";
    printPlain(rows);
    if (!options.markdownPath.empty()) {
        std::ofstream markdown(options.markdownPath);
        markdown << loadLine.str() << "\n\n";
        printMarkdown(rows, markdown);
    }
    for (const Row& row : rows)
        if (row.failed > 0) return 1;
    return 0;
}
