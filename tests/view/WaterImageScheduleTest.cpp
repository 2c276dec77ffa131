#include "view/WaterImageSchedule.h"

#include <gtest/gtest.h>

namespace {

constexpr int kMirror = WaterImageSchedule::kReflection;
constexpr int kBelow = WaterImageSchedule::kRefraction;
constexpr int kBoth = WaterImageSchedule::kBoth;

}  // namespace

TEST(WaterImageSchedule, InTurnEachImageFollowsTheMovingCameraAndNoneIsDrawnStandingStill) {
    WaterImageSchedule schedule;
    const glm::vec3 still(0.0f), turned(0.0f, 0.3f, 0.0f);
    EXPECT_EQ(schedule.due(glm::vec3(0.0f), still, true), kBoth) << "nothing drawn yet";
    EXPECT_EQ(schedule.due(glm::vec3(0.0f), still, true), 0);
    EXPECT_EQ(schedule.due(glm::vec3(0.005f, 0, 0), still, true), 0) << "barely moved";
    // Walking, the two take turns; standing again, the one drawn from the old place follows, then none.
    EXPECT_EQ(schedule.due(glm::vec3(1, 0, 0), still, true), kMirror);
    EXPECT_EQ(schedule.due(glm::vec3(2, 0, 0), still, true), kBelow);
    EXPECT_EQ(schedule.due(glm::vec3(3, 0, 0), still, true), kMirror);
    EXPECT_EQ(schedule.due(glm::vec3(3, 0, 0), still, true), kBelow);
    EXPECT_EQ(schedule.due(glm::vec3(3, 0, 0), still, true), 0);
    EXPECT_EQ(schedule.due(glm::vec3(3, 0, 0), turned, true), kMirror) << "turning counts as moving";
    EXPECT_EQ(schedule.due(glm::vec3(3, 0, 0), turned, true), kBelow);
    schedule.forget();
    EXPECT_EQ(schedule.due(glm::vec3(3, 0, 0), turned, true), kBoth);
    EXPECT_EQ(schedule.due(glm::vec3(3, 0, 0), turned, false), kBoth) << "the level draws both every frame";
}
