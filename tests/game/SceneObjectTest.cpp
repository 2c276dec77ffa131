#include "game/SceneObject.h"

#include "support/Near.h"

#include <gtest/gtest.h>

namespace {

using testsupport::near;

constexpr float kHalfPi = 1.57079632679f;

// A parent at (1, 0, 0) with a child 2 units along -z from it; null children are skipped everywhere.
struct Family {
    SceneObject parent, child;
    Family() {
        parent.position = glm::vec3(1, 0, 0);
        child.position = glm::vec3(1, 0, -2);
        child.scale = glm::vec3(0.5f);
        child.parent = &parent;
        parent.children = {&child, nullptr};
    }
};

TEST(SceneObject, ChildrenFollowTheirParentsMovesTurnsScalesAndHiding) {
    Family moved, turned, scaled, all;
    moved.parent.setPosition(glm::vec3(4, 2, 0));
    EXPECT_TRUE(near(moved.child.position, glm::vec3(4, 2, -2)));
    turned.parent.setRotation(glm::vec3(0, kHalfPi, 0));  // a quarter turn about +y takes -z to -x
    EXPECT_TRUE(near(turned.child.position, glm::vec3(-1, 0, 0)));
    EXPECT_TRUE(near(turned.child.rotation, glm::vec3(0, kHalfPi, 0)));
    scaled.parent.setScale(glm::vec3(3.0f));  // absolute, where setTransform adds the difference
    EXPECT_TRUE(near(scaled.child.scale, glm::vec3(3.0f)));
    all.parent.setTransform(glm::vec3(2, 0, 0), glm::vec3(0, kHalfPi, 0), glm::vec3(3.0f));
    EXPECT_TRUE(near(all.child.scale, glm::vec3(2.5f)));
    EXPECT_TRUE(near(all.child.position, glm::vec3(0, 0, 0))) << "moved first, then orbiting the new place";
    all.parent.setVisible(false);
    EXPECT_FALSE(all.child.visible);
}

TEST(SceneObject, TurnsAroundAPointInItsParentsFrameAndComposesScaleTurnsAndMove) {
    // A camera-like child behind a parent that faces along -x: a pitch tilts about the parent's
    // sideways axis (world z), so the child moves within the x-y plane.
    SceneObject parent, child;
    parent.rotation = glm::vec3(0, kHalfPi, 0);
    child.parent = &parent;
    child.rotation = glm::vec3(0, kHalfPi, 0);
    child.position = glm::vec3(5, 0, 0);
    child.rotateAround(glm::vec3(0.0f), glm::vec3(0.3f, 0, 0));
    EXPECT_TRUE(near(glm::vec3(child.position.x, std::abs(child.position.y), child.position.z),
                     glm::vec3(5 * std::cos(0.3f), 5 * std::sin(0.3f), 0)));
    EXPECT_NEAR(child.rotation.x, 0.3f, 1e-6f);
    // (0, 1, 0) scaled to (0, 2, 0); Rx(90) takes it to (0, 0, 2); Rz(90) leaves z; then the move.
    SceneObject o;
    o.position = glm::vec3(10, 0, 0);
    o.rotation = glm::vec3(kHalfPi, 0, kHalfPi);
    o.scale = glm::vec3(2.0f);
    EXPECT_TRUE(near(glm::vec3(o.getModelMatrix() * glm::vec4(0, 1, 0, 1)), glm::vec3(10, 0, 2)));
}

}  // namespace
