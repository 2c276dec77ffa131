#include "world/PoseBlend.h"

#include "support/Near.h"

#include <gtest/gtest.h>

namespace {

// Drawing between two ticks puts a moving thing (and what hangs on it) part of the way there, turns it
// the short way round, leaves long jumps and things gone alone, and gives every bit back afterwards.
TEST(PoseBlend, ShowsThingsPartWayAndPutsEverythingBackToTheBit) {
    auto mover = std::make_shared<SceneObject>();
    SceneObject child;
    child.parent = mover.get();
    mover->children.push_back(&child);
    child.setPosition({0.1f, 2.0f, 5.0f});
    mover->setPosition({10.0f, 0.3f, 0.0f});
    mover->setRotation({0.0f, 3.1f, 0.0f});
    SceneObject jumper;
    jumper.setPosition({500, 0, 0});
    auto gone = std::make_shared<SceneObject>();
    std::vector<PoseBlend::Pose> before{{mover.get(), true, mover, {0.0f, 0.3f, 0.0f}, {0.0f, -3.1f, 0.0f}},
                                        {&jumper, false, {}, {0, 0, 0}, {0, 0, 0}},
                                        {gone.get(), true, gone, {0, 0, 0}, {0, 0, 0}}};
    gone.reset();
    const glm::vec3 childAt = child.position, childTurn = child.rotation;
    {
        const PoseBlend blend(before, 0.25f);
        EXPECT_TRUE(testsupport::near(mover->position, glm::vec3(2.5f, 0.3f, 0.0f)));
        EXPECT_NEAR(mover->rotation.y, 3.1f + 0.75f * (2.0f * 3.14159265f - 6.2f), 1e-5f) << "across pi, not back";
        EXPECT_NE(child.position, childAt) << "what hangs on it comes along";
        EXPECT_EQ(jumper.position, glm::vec3(500, 0, 0)) << "a jump of 500 units is shown where it ends";
    }
    EXPECT_EQ(mover->position, glm::vec3(10.0f, 0.3f, 0.0f));
    EXPECT_EQ(mover->rotation, glm::vec3(0.0f, 3.1f, 0.0f));
    EXPECT_EQ(child.position, childAt);
    EXPECT_EQ(child.rotation, childTurn);
}

}  // namespace
