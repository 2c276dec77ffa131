#include "app/CommandLine.h"

#include "render/GraphicsQuality.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>

#ifndef QUILLMARSH_VERSION
#define QUILLMARSH_VERSION "unknown"
#endif

namespace {

const char* const kUsage =
    "Usage: quillmarsh [--settings FILE] [--seed N] [--quality LEVEL] [--fullscreen | --windowed] [--size WxH]\n"
    "                  [--record FILE | --replay FILE] [--play] [--startup-report]";

// The help text opens with the same usage line a refusal prints.
class UsageFormatter : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App*, std::string) const override { return std::string(kUsage) + "\n"; }
};

// "1280x720" into its two positive numbers; false for anything else.
bool parseSize(const std::string& text, int& width, int& height) {
    const size_t cross = text.find('x');
    if (cross == std::string::npos) return false;
    const std::string w = text.substr(0, cross), h = text.substr(cross + 1);
    auto digitsOnly = [](const std::string& s) {
        return !s.empty() && s.size() <= 5 && s.find_first_not_of("0123456789") == std::string::npos;
    };
    if (!digitsOnly(w) || !digitsOnly(h)) return false;
    width = std::stoi(w);
    height = std::stoi(h);
    return width > 0 && height > 0;
}

std::string checkQuality(const std::string& text) {
    std::optional<QualityLevel> level;
    return parseQualitySetting(text, level) ? "" : "expected auto, low, medium or high";
}

std::string checkSize(const std::string& text) {
    int width = 0, height = 0;
    return parseSize(text, width, height) ? "" : "expected WIDTHxHEIGHT in pixels, like 1280x720";
}

void describe(CLI::App& app, LaunchOptions& options, std::string& size, bool& fullscreen, bool& windowed) {
    app.formatter(std::make_shared<UsageFormatter>());
    app.set_version_flag("--version", std::string("quillmarsh ") + QUILLMARSH_VERSION);
    app.add_option("--settings", options.settingsFile, "settings file read instead of res/settings.ini")
        ->type_name("FILE")
        ->check(CLI::ExistingFile.description(""));
    auto* seed = app.add_option("--seed", options.seed, "seed of the first world: the same seed, the same landscape")
                     ->type_name("N");
    app.add_option("--quality", options.quality, "graphics level: auto, low, medium or high")
        ->type_name("LEVEL")
        ->check(CLI::Validator(checkQuality, ""));
    auto* full = app.add_flag("--fullscreen", fullscreen, "full screen on the primary monitor");
    app.add_flag("--windowed", windowed, "in a window")->excludes(full);
    app.add_option("--size", size, "window size in pixels")->type_name("WxH")->check(CLI::Validator(checkSize, ""));
    auto* record = app.add_option("--record", options.recordFile,
                                  "record the session (until its round ends, R or the window closes) into FILE")
                       ->type_name("FILE");
    app.add_option("--replay", options.replayFile, "play the recording in FILE back, then end")
        ->type_name("FILE")
        ->excludes(record)
        ->excludes(seed);
    app.add_flag("--play", options.play, "no title: the round starts as soon as the world is ready");
    app.add_flag("--startup-report", options.startupReport,
                 "print when the first picture was shown and when the first world was playable, then end");
}

}  // namespace

ParsedCommandLine parseCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    ParsedCommandLine parsed;
    CLI::App app("Quillmarsh: steer a cat over a generated landscape, collect diamonds, fight rabbits.", "quillmarsh");
    std::string size;
    bool fullscreen = false, windowed = false;
    describe(app, parsed.options, size, fullscreen, windowed);
    app.failure_message([](const CLI::App*, const CLI::Error& e) {
        return std::string("quillmarsh: ") + e.what() + "\n" + kUsage + "\n";
    });
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, out, err);
        parsed.exitCode = code == 0 ? 0 : 2;
        return parsed;
    }
    if (fullscreen || windowed) parsed.options.fullscreen = fullscreen;
    int width = 0, height = 0;
    if (!size.empty() && parseSize(size, width, height)) {
        parsed.options.width = width;
        parsed.options.height = height;
    }
    return parsed;
}

const char* gameVersion() { return QUILLMARSH_VERSION; }

void applyLaunchOptions(const LaunchOptions& options, Settings& settings) {
    if (options.fullscreen) settings.fullscreen = *options.fullscreen;
    if (options.width) settings.width = *options.width;
    if (options.height) settings.height = *options.height;
    if (!options.quality.empty()) parseQualitySetting(options.quality, settings.quality);  // checked when parsed
}
