#include "game/Replay.h"

#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Replay sample() {
    Replay replay = Replay::begin("1.0.0", World::Start{4000000000u, 1.25f, -0.5f, 7, Difficulty::Hard});
    TickInput walk;
    walk.hold(kKeyW);
    walk.hold(kKeyLeftShift);
    walk.turn = -0.0125f;
    walk.aim = glm::normalize(glm::vec3(0.1f, -0.2f, -1.0f));
    TickInput shoot;
    shoot.fire = shoot.dash = true;
    shoot.pitch = 0.003f;
    replay.inputs = {walk, shoot, TickInput()};
    replay.endState = 0x0123456789abcdefull;
    return replay;
}

// Whatever goes in comes back to the bit, through a file written atomically.
TEST(Replay, RoundTripsToTheBitThroughAFile) {
    testsupport::TempDirectory folder;
    const Replay written = sample();
    std::string error;
    const std::string path = folder.path() + "/deeper/run.replay";
    ASSERT_TRUE(written.write(path, error)) << error;
    const auto read = Replay::read(path, "1.0.0", error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->gameVersion, "1.0.0");
    EXPECT_TRUE(read->start == written.start);
    EXPECT_EQ(read->settings, written.settings);
    EXPECT_EQ(read->inputs, written.inputs);
    EXPECT_EQ(read->endState, written.endState);
    EXPECT_EQ(read->encode(), written.encode());
}

// A file that cannot be played says what is wrong with it, naming it, and gives no replay.
TEST(Replay, MissingTruncatedForeignNewerAndDamagedFilesAreRefusedWithTheReason) {
    testsupport::TempDirectory folder;
    std::string error;
    EXPECT_FALSE(Replay::read(folder.path() + "/none.replay", "1.0.0", error));
    EXPECT_NE(error.find("none.replay: No such file"), std::string::npos) << error;
    EXPECT_FALSE(Replay::read(folder.path(), "1.0.0", error));
    EXPECT_NE(error.find("is a directory"), std::string::npos) << error;

    const std::string good = sample().encode();
    const auto refusal = [&](std::string bytes, const std::string& version = "1.0.0") {
        std::string problem;
        EXPECT_FALSE(Replay::decode(bytes, version, problem));
        return problem;
    };
    EXPECT_EQ(refusal(good.substr(0, good.size() - 1)), "is truncated: it holds 2 of 3 ticks");
    EXPECT_EQ(refusal(good.substr(0, 20)), "is truncated: it ends inside its header");
    EXPECT_EQ(refusal("#!/bin/sh\necho hello\n"), "is not a Quillmarsh replay");
    EXPECT_EQ(refusal(""), "is not a Quillmarsh replay");
    std::string newer = good;
    newer[8] = 2;  // the format version
    EXPECT_EQ(refusal(newer), "was written by a newer Quillmarsh (replay format 2; this version reads format 1)");
    EXPECT_EQ(refusal(good, "0.9.12"), "was recorded by Quillmarsh 1.0.0, newer than this version (0.9.12)");
    std::string oddKey = good;
    oddKey.replace(oddKey.find("ticks_per_second"), 5, "flies");
    EXPECT_NE(refusal(oddKey).find("play setting 'flies_per_second'"), std::string::npos);
    std::string oddLevel = good;
    oddLevel.replace(oddLevel.find("hard"), 4, "mild");
    EXPECT_EQ(refusal(oddLevel), "asks for the difficulty 'mild', which this version does not know");
    std::string keys = good;
    keys[good.size() - 3 * 22] = char(0x80);  // a key no game has
    EXPECT_EQ(refusal(keys), "is damaged: tick 0 holds values no input can have");
    EXPECT_EQ(refusal(good + "x"), "is damaged: 1 bytes follow its last tick");
    EXPECT_TRUE(Replay::decode(good, "1.0.1", error)) << "older recordings play on";
    EXPECT_LT(compareVersions("1.0", "1.0.1"), 0);
    EXPECT_EQ(compareVersions("1.0", "1.0.0"), 0);
    EXPECT_GT(compareVersions("1.10.0", "1.9.5"), 0);
}

}  // namespace
