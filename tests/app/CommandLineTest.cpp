#include "app/CommandLine.h"

#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kUsage =
    "Usage: quillmarsh [--settings FILE] [--seed N] [--quality LEVEL] [--fullscreen | --windowed] [--size WxH]\n"
    "                  [--record FILE | --replay FILE] [--play] [--startup-report]\n";

struct Outcome {
    ParsedCommandLine parsed;
    std::string out, err;
};

Outcome launch(std::vector<std::string> args) {
    args.insert(args.begin(), "quillmarsh");
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    const ParsedCommandLine parsed = parseCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
    return {parsed, out.str(), err.str()};
}

TEST(CommandLineTest, OptionsOverrideTheSettingsFile) {
    Settings settings;
    settings.fullscreen = true;
    applyLaunchOptions(launch({}).parsed.options, settings);
    EXPECT_TRUE(settings.fullscreen);
    EXPECT_EQ(settings.width, 1920);

    testsupport::TempDirectory folder;
    const std::string file = folder.writeText("my.ini", "");
    const Outcome all =
        launch({"--settings", file, "--seed", "4294967295", "--windowed", "--size", "800x600", "--quality", "Medium"});
    ASSERT_FALSE(all.parsed.exitCode.has_value()) << all.err;
    EXPECT_EQ(all.parsed.options.settingsFile, file);
    EXPECT_EQ(all.parsed.options.seed, 4294967295u);
    applyLaunchOptions(all.parsed.options, settings);
    EXPECT_FALSE(settings.fullscreen);
    EXPECT_EQ(settings.width, 800);
    EXPECT_EQ(settings.height, 600);
    EXPECT_EQ(settings.quality, QualityLevel::Medium);
    applyLaunchOptions(launch({"--fullscreen", "--quality", "auto"}).parsed.options, settings);
    EXPECT_TRUE(settings.fullscreen);
    EXPECT_FALSE(settings.quality.has_value()) << "auto leaves the choice to the renderer";
    EXPECT_EQ(launch({"--record", "a.replay"}).parsed.options.recordFile, "a.replay");
    EXPECT_EQ(launch({"--replay", "b.replay"}).parsed.options.replayFile, "b.replay");
    const LaunchOptions quick = launch({"--play", "--startup-report", "--seed", "3"}).parsed.options;
    EXPECT_TRUE(quick.play && quick.startupReport);
    EXPECT_FALSE(all.parsed.options.play || all.parsed.options.startupReport);
}

TEST(CommandLineTest, HelpAndVersionAnswerWhileRefusalsPrintTheUsageLineAndExitTwo) {
    const Outcome help = launch({"--help"}), version = launch({"--version"});
    EXPECT_EQ(help.parsed.exitCode, 0);
    EXPECT_EQ(version.parsed.exitCode, 0);
    EXPECT_NE(help.out.find(kUsage), std::string::npos);
    EXPECT_EQ(version.out.rfind("quillmarsh ", 0), 0u) << version.out;
    EXPECT_EQ(help.err + version.err, "");

    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--fly"},
                                               {"world"},
                                               {"--seed"},
                                               {"--seed", "-1"},
                                               {"--seed", "x7"},
                                               {"--seed", "4294967296"},
                                               {"--size", "800"},
                                               {"--size", "0x600"},
                                               {"--size", "8x6x4"},
                                               {"--quality", "ultra"},
                                               {"--fullscreen", "--windowed"},
                                               {"--startup-report", "now"},
                                               {"--record", "a.replay", "--replay", "b.replay"},
                                               {"--replay", "b.replay", "--seed", "3"},
                                               {"--settings", "/no/such/settings.ini"}}) {
        const Outcome refused = launch(args);
        const std::string shown = args.front() + (args.size() > 1 ? " " + args[1] : "");
        EXPECT_EQ(refused.parsed.exitCode, 2) << shown;
        EXPECT_GT(refused.err.size(), kUsage.size()) << shown;
        EXPECT_EQ(refused.err.substr(refused.err.size() - std::min(refused.err.size(), kUsage.size())), kUsage)
            << shown;
        EXPECT_EQ(refused.out, "") << shown;
    }
}

}  // namespace
