#include "FrameRates.h"
#include "GameStartup.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<double> frames(std::vector<std::pair<int, double>> runs) {
    std::vector<double> out;
    for (const auto& [count, seconds] : runs) out.insert(out.end(), static_cast<size_t>(count), seconds);
    return out;
}

}  // namespace

TEST(FrameRates, RatesWeighSlowFramesByTheTimeTheyTake) {
    // One 50 ms frame among 99 of 10 ms takes 4.8 % of the time: the steady rate is its own, while
    // 12 % of the time covers it and the rate is that of the rest.
    const std::vector<double> hitch = frames({{99, 0.010}, {1, 0.050}});
    EXPECT_DOUBLE_EQ(rateWithSlowerShare(hitch, 0.01), 20.0);
    EXPECT_DOUBLE_EQ(rateWithSlowerShare(hitch, 0.12), 100.0);
    // Among 999 such frames it takes 0.5 %, under the steady share.
    EXPECT_DOUBLE_EQ(rateWithSlowerShare(frames({{999, 0.010}, {1, 0.050}}), 0.01), 100.0);
    // Half the frames at 20 ms take two thirds of the time: the typical rate is theirs, although the
    // median frame lies between the two.
    const std::vector<double> halves = frames({{50, 0.010}, {50, 0.020}});
    EXPECT_DOUBLE_EQ(rateWithSlowerShare(halves, 0.5), 50.0);
    EXPECT_DOUBLE_EQ(median(halves), 0.015);
    EXPECT_DOUBLE_EQ(rateWithSlowerShare({0.040}, 0.01), 25.0);
    EXPECT_EQ(rateWithSlowerShare({}, 0.01), 0.0);
}

TEST(FrameRates, PercentileIsTheNearestRank) {
    std::vector<double> ranks;
    for (int i = 100; i >= 1; --i) ranks.push_back(i);
    EXPECT_EQ(percentile(ranks, 95.0), 95.0);
    EXPECT_EQ(percentile(ranks, 100.0), 100.0);
    EXPECT_EQ(percentile({3.0, 1.0, 2.0}, 50.0), 2.0);
    EXPECT_EQ(median({4.0, 1.0, 3.0}), 3.0);
}

TEST(GameStartup, ReadsBothLinesAmongTheGamesOutput) {
    const GameStartup read =
        parseStartupReport("quality low (auto)\nfirst picture after 412 ms\nno sound device\nplayable after 1830 ms\n");
    EXPECT_TRUE(read.problem.empty());
    EXPECT_DOUBLE_EQ(read.firstPicture, 0.412);
    EXPECT_DOUBLE_EQ(read.playable, 1.830);
    const GameStartup cut = parseStartupReport("first picture after 412 ms\nplayable after soon\n");
    EXPECT_FALSE(cut.measured());
    EXPECT_FALSE(cut.problem.empty());
}
