#include "physics/RayQueries.h"

#include "scene/SceneObject.h"
#include "support/PhysicsWorld.h"

#include <gtest/gtest.h>

namespace {

// Three boxes stacked under x = z = 0: "near" (top at 9), "middle" (top at 6), "far" (top at 3).
class RayQueriesTest : public ::testing::Test {
protected:
    RayQueriesTest() {
        nearBox = world.addBox("near", glm::vec3(0, 8.5f, 0), glm::vec3(0.5f));
        world.addBox("middle", glm::vec3(0, 5.5f, 0), glm::vec3(0.5f));
        world.addBox("far", glm::vec3(0, 2.5f, 0), glm::vec3(0.5f));
    }
    const char* hitName(const physics::RayHit& hit) { return hit.owner ? hit.owner->name.c_str() : "none"; }

    testsupport::PhysicsWorld world;
    btRigidBody* nearBox = nullptr;
};

TEST_F(RayQueriesTest, TheClosestHitSkipsTheCastersOwnBodyAndOwnersTheFilterRefuses) {
    const physics::RayHit plain = physics::dropDown(world.get(), glm::vec3(0, 20, 0), 30);
    ASSERT_TRUE(plain.hit);
    EXPECT_STREQ(hitName(plain), "near");
    EXPECT_NEAR(plain.position().y, 9.0f, 1e-4f);
    EXPECT_NEAR(plain.point.x(), 0.0, 1e-9) << "straight down";

    EXPECT_STREQ(hitName(physics::dropDown(world.get(), glm::vec3(0, 20, 0), 30, nearBox)), "middle");
    const auto notMiddle = [](const SceneObject* owner) { return owner && owner->name != "middle"; };
    EXPECT_STREQ(hitName(physics::dropDown(world.get(), glm::vec3(0, 20, 0), 30, nearBox, notMiddle)), "far");
    const auto notFar = [](const SceneObject* owner) { return owner && owner->name != "far"; };
    EXPECT_STREQ(hitName(physics::closestHit(world.get(), btVector3(0, -5, 0), btVector3(0, 20, 0), nullptr, notFar)),
                 "middle")
        << "cast upwards from below";

    EXPECT_FALSE(physics::dropDown(world.get(), glm::vec3(0, 20, 0), 10.5f).hit) << "the ray ends above the top";
    EXPECT_FALSE(physics::dropDown(nullptr, glm::vec3(0, 20, 0), 30).hit);
    // A body without an owner is still hit, with no owner reported.
    nearBox->setUserPointer(nullptr);
    const physics::RayHit unowned = physics::dropDown(world.get(), glm::vec3(0, 20, 0), 30);
    EXPECT_TRUE(unowned.hit);
    EXPECT_EQ(unowned.owner, nullptr);
}

}  // namespace
