#include "app/CommandLine.h"

#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kUsage = "Usage: quillmarsh [--settings FILE] [--seed N] [--fullscreen | --windowed] [--size WxH]\n";

struct Outcome {
    ParsedCommandLine parsed;
    std::string out;
    std::string err;
};

Outcome launch(std::vector<std::string> args) {
    args.insert(args.begin(), "quillmarsh");
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    Outcome result;
    result.parsed = parseCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

TEST(CommandLineTest, OptionsOverrideTheSettingsFile) {
    Settings settings;
    settings.fullscreen = true;
    const Outcome none = launch({});
    EXPECT_FALSE(none.parsed.exitCode.has_value());
    applyLaunchOptions(none.parsed.options, settings);
    EXPECT_TRUE(settings.fullscreen);
    EXPECT_EQ(settings.width, 1920);

    testsupport::TempDirectory folder;
    const std::string file = folder.writeText("my.ini", "[window]\n");
    const Outcome all = launch({"--settings", file, "--seed", "4294967295", "--windowed", "--size", "800x600"});
    ASSERT_FALSE(all.parsed.exitCode.has_value()) << all.err;
    EXPECT_EQ(all.parsed.options.settingsFile, file);
    EXPECT_EQ(all.parsed.options.seed, 4294967295u);
    applyLaunchOptions(all.parsed.options, settings);
    EXPECT_FALSE(settings.fullscreen);
    EXPECT_EQ(settings.width, 800);
    EXPECT_EQ(settings.height, 600);

    applyLaunchOptions(launch({"--fullscreen"}).parsed.options, settings);
    EXPECT_TRUE(settings.fullscreen);
}

TEST(CommandLineTest, HelpAndVersionAnswerAndExitZero) {
    const Outcome help = launch({"--help"});
    EXPECT_EQ(help.parsed.exitCode, 0);
    EXPECT_NE(help.out.find(kUsage), std::string::npos);
    for (const char* option : {"--settings", "--seed", "--fullscreen", "--windowed", "--size", "--version"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    const Outcome version = launch({"--version"});
    EXPECT_EQ(version.parsed.exitCode, 0);
    EXPECT_EQ(version.out.rfind("quillmarsh ", 0), 0u) << version.out;
    EXPECT_EQ(help.err + version.err, "");
}

TEST(CommandLineTest, RefusalsPrintTheUsageLineAndExitTwo) {
    const std::vector<std::vector<std::string>> refused = {
        {"--fly"},
        {"world"},
        {"--seed"},
        {"--seed", "-1"},
        {"--seed", "x7"},
        {"--seed", "4294967296"},
        {"--size", "800"},
        {"--size", "0x600"},
        {"--size", "8x6x4"},
        {"--size", "-8x6"},
        {"--fullscreen", "--windowed"},
        {"--settings", "/no/such/settings.ini"},
    };
    for (const auto& args : refused) {
        const Outcome r = launch(args);
        const std::string shown = args.front() + (args.size() > 1 ? " " + args[1] : "");
        EXPECT_EQ(r.parsed.exitCode, 2) << shown;
        ASSERT_GE(r.err.size(), kUsage.size()) << shown;
        EXPECT_EQ(r.err.substr(r.err.size() - kUsage.size()), kUsage) << shown;
        EXPECT_EQ(r.out, "") << shown;
    }
}

}  // namespace
