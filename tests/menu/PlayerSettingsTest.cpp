#include "menu/PlayerSettings.h"

#include "app/CommandLine.h"
#include "game/AtomicFile.h"
#include "menu/SettingsText.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The layers as the game stacks them: the defaults, the file it read, the player's file, the command line.
TEST(PlayerSettings, EachLayerOverridesTheOneBelowAndOnlyTheKeysAPlayerChangedAreWritten) {
    testsupport::TempDirectory folder;
    const std::string game = folder.writeText("res/settings.ini",
                                              "[audio]\nvolume = 0.5\nambience = false\n[controls]\nfov = 70\n"
                                              "[graphics]\nquality = medium\n[keys]\njump = J\n");
    const std::string mine = folder.path() + "/config/quillmarsh/settings.ini";
    folder.writeText("config/quillmarsh/settings.ini", "[audio]\nvolume = 0.25\n[keys]\nforward = S\nback = W\n");
    const Settings below = readSettings(game);
    std::ostringstream said;
    PlayerSettings player(mine, said);
    Settings chosen = player.load(below);
    EXPECT_FLOAT_EQ(chosen.audioVolume, 0.25f) << "the player's file over the game's";
    EXPECT_FALSE(chosen.audioAmbience) << "the game's file where the player's is silent";
    EXPECT_FLOAT_EQ(chosen.look.fieldOfView, 70.0f);
    EXPECT_FLOAT_EQ(chosen.hudScale, 1.0f) << "the defaults under both";
    EXPECT_EQ(chosen.bindings.input(Action::Jump), 'J');
    EXPECT_EQ(chosen.bindings.input(Action::Forward), 'S') << "two keys may swap";
    EXPECT_EQ(chosen.bindings.input(Action::Back), 'W');
    Settings effective = chosen;
    const char* argv[] = {"quillmarsh", "--quality", "high", "--fullscreen"};
    applyLaunchOptions(parseCommandLine(4, argv, said, said).options, effective);
    EXPECT_EQ(effective.quality, QualityLevel::High) << "the command line over everything";
    EXPECT_EQ(said.str(), "");
    // A change in the options goes into the player's layer; what the command line set stays out of it.
    Settings changed = effective;
    changed.captions = true;
    const Settings layer = changedLayer(chosen, effective, changed);
    EXPECT_TRUE(layer.captions);
    EXPECT_EQ(layer.quality, QualityLevel::Medium);
    EXPECT_FALSE(layer.fullscreen);

    // Back to the game's volume, a new field of view: only what differs from the game's file is kept.
    chosen.audioVolume = 0.5f;
    chosen.look.fieldOfView = 90.0f;
    ASSERT_TRUE(player.save(chosen, below));
    const std::string written = contents(mine);
    EXPECT_EQ(written.substr(written.find('[')), "[controls]\nfov = 90\n\n[keys]\nforward = S\nback = W\n");
    EXPECT_EQ(contents(game),
              "[audio]\nvolume = 0.5\nambience = false\n[controls]\nfov = 70\n"
              "[graphics]\nquality = medium\n[keys]\njump = J\n")
        << "the file the game read is never written";
    EXPECT_FALSE(std::filesystem::exists(AtomicFile::temporaryPath(mine))) << "replaced in one step";
    const Settings again = PlayerSettings(mine, said).load(below);
    EXPECT_EQ(changedSettingsText(again, chosen), "") << "read back as saved";
    EXPECT_EQ(said.str(), "");

    EXPECT_EQ(PlayerSettings::defaultPath("/cfg", "/home/cat"), "/cfg/quillmarsh/settings.ini");
    EXPECT_EQ(PlayerSettings::defaultPath("cfg", "/home/cat"), "/home/cat/.config/quillmarsh/settings.ini");
    EXPECT_EQ(PlayerSettings::defaultPath(nullptr, nullptr), "");

    // Nothing changed: the file holds no key.
    ASSERT_TRUE(player.save(below, below));
    EXPECT_EQ(contents(mine).find('['), std::string::npos);
}

// A damaged player's file is said once, kept aside, and the game plays on with the layers below.
TEST(PlayerSettings, ADamagedFileIsMovedAsideAndAnUnreadableOneLeftAlone) {
    testsupport::TempDirectory folder;
    Settings below;
    below.audioVolume = 0.5f;
    const std::string path = folder.path() + "/settings.ini";
    for (const std::string& damage : {std::string("[audio]\nvolume = 0.2\n\0\x01\x02", 24),
                                      std::string("[audio]\nvolume = 0.2\nthis is no setting\n"), std::string("dir")}) {
        if (damage == "dir")
            std::filesystem::create_directories(path + "/inside");
        else
            folder.writeText("settings.ini", damage);
        std::ostringstream said;
        PlayerSettings player(path, said);
        EXPECT_FLOAT_EQ(player.load(below).audioVolume, 0.5f);
        const std::string told = said.str();
        EXPECT_NE(told.find("'" + path + "'"), std::string::npos) << told;
        EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
        EXPECT_TRUE(std::filesystem::exists(path + ".bad")) << told;
        EXPECT_FALSE(std::filesystem::exists(path));
        Settings chosen = below;
        chosen.captions = true;
        EXPECT_TRUE(player.save(chosen, below)) << "a new file is begun";
        std::filesystem::remove_all(path);
    }

    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    folder.writeText("settings.ini", "[audio]\nvolume = 0.2\n");
    ::chmod(path.c_str(), 0);
    std::ostringstream said;
    PlayerSettings player(path, said);
    EXPECT_FLOAT_EQ(player.load(below).audioVolume, 0.5f);
    EXPECT_FALSE(player.save(below, below)) << "never replaced";
    ::chmod(path.c_str(), 0644);
    EXPECT_EQ(contents(path), "[audio]\nvolume = 0.2\n");
}

}  // namespace
