#include "LevelTable.h"

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

struct Run {
    std::string level;
    std::string size;
    Figures figures;
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

double number(const Figures& figures, const std::string& key) {
    const auto found = figures.find(key);
    return found == figures.end() ? 0.0 : std::atof(found->second.c_str());
}

std::string ms(double seconds) {
    std::ostringstream s;
    s << std::fixed << std::setprecision(seconds < 0.1 ? 1 : 0) << seconds * 1000.0 << " ms";
    return s.str();
}

std::vector<std::string> cells(const Run& run) {
    const Figures& f = run.figures;
    if (f.empty()) return {run.level, run.size, "failed"};
    const double over = number(f, "lake_over"), away = number(f, "lake_away");
    std::ostringstream ratio, startup, peak;
    ratio << std::fixed << std::setprecision(2) << (away > 0.0 ? over / away : 0.0) << " ×";
    startup << std::fixed << std::setprecision(2) << number(f, "startup") << " s";
    peak << std::fixed << std::setprecision(0) << number(f, "peak_kb") / 1024.0 << " MiB";
    return {f.at("quality"),
            run.size,
            ms(number(f, "walk_median")),
            ms(number(f, "walk_p95")),
            ms(number(f, "walk_cpu")),
            ms(over),
            ms(away),
            ratio.str(),
            startup.str(),
            peak.str()};
}

const std::vector<std::string> kHeadings = {
    "Level",         "Window",      "Walk median", "Walk p95", "CPU per frame",
    "Facing a lake", "Facing away", "Lake / away", "Start-up", "Peak memory",
};

void printPlain(const std::vector<Run>& runs) {
    for (const std::string& heading : kHeadings) std::cout << std::left << std::setw(15) << heading;
    std::cout << "\n";
    for (const Run& run : runs) {
        for (const std::string& cell : cells(run)) std::cout << std::left << std::setw(15) << cell;
        std::cout << "\n";
    }
}

void printMarkdown(const std::vector<Run>& runs, std::ostream& out) {
    out << "|";
    for (const std::string& heading : kHeadings) out << " " << heading << " |";
    out << "\n|";
    for (size_t i = 0; i < kHeadings.size(); ++i) out << "---|";
    out << "\n";
    for (const Run& run : runs) {
        std::string size = run.size;
        const size_t x = size.find('x');
        if (x != std::string::npos) size = size.substr(0, x) + " × " + size.substr(x + 1);
        std::vector<std::string> row = cells(run);
        if (row.size() > 1) row[1] = size;
        out << "|";
        for (const std::string& cell : row) out << " " << cell << " |";
        out << "\n";
    }
}

}  // namespace

int runLevelTable(const std::string& benchmark, const LevelTableOptions& options) {
    std::vector<Run> runs;
    bool allOk = true;
    for (const std::string& size : options.sizes) {
        for (const std::string& level : options.levels) {
            const std::string stem = "/tmp/quillmarsh-bench-" + std::to_string(getpid()) + "-" + level + "-" + size;
            const std::string summary = stem + ".txt", log = stem + ".log";
            std::ostringstream command;
            command << "'" << benchmark << "' --quality " << level << " --size " << size << " --frames "
                    << options.frames << " --resets " << options.resets << " --seed " << options.seed
                    << " --no-fountain --summary '" << summary << "' > '" << log << "' 2>&1";
            std::cerr << "quillmarsh_bench: " << level << " at " << size << " ..." << std::endl;
            const int status = std::system(command.str().c_str());
            Run run{level, size, status == 0 ? readFigures(summary) : Figures()};
            if (run.figures.empty()) {
                allOk = false;
                std::cerr << "quillmarsh_bench: the " << level << " run at " << size << " failed; see " << log
                          << std::endl;
            } else {
                std::remove(log.c_str());
            }
            std::remove(summary.c_str());
            runs.push_back(run);
        }
    }
    printPlain(runs);
    if (!options.markdownPath.empty()) {
        std::ofstream markdown(options.markdownPath);
        printMarkdown(runs, markdown);
    }
    return allOk ? 0 : 1;
}
