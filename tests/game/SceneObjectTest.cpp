#include "game/SceneObject.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kHalfPi = 1.57079632679f;

void expectNear(const glm::vec3& a, const glm::vec3& b, float eps = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

struct Family {
    SceneObject parent, child;
    Family() {
        parent.position = glm::vec3(1, 0, 0);
        child.position = glm::vec3(1, 0, -2);
        child.parent = &parent;
        parent.children = {&child, nullptr};  // null children are skipped everywhere
    }
};

TEST(SceneObject, StartsAsANamelessVisibleUnitNode) {
    SceneObject o;
    EXPECT_EQ(o.name, "empty");
    EXPECT_TRUE(o.visible);
    EXPECT_EQ(o.scale, glm::vec3(1.0f));
    EXPECT_EQ(o.getModelMatrix(), glm::mat4(1.0f));
}

TEST(SceneObject, MovingAParentCarriesChildrenByTheSameOffset) {
    Family f;
    f.parent.setPosition(glm::vec3(4, 2, 0));
    expectNear(f.child.position, glm::vec3(4, 2, -2));
}

TEST(SceneObject, TurningAParentMakesChildrenOrbitAndTurn) {
    Family f;
    f.parent.setRotation(glm::vec3(0, kHalfPi, 0));
    // The child was 2 units along -z from the parent; a quarter turn about +y puts it along -x.
    expectNear(f.child.position, glm::vec3(-1, 0, 0));
    expectNear(f.child.rotation, glm::vec3(0, kHalfPi, 0));
}

TEST(SceneObject, SetScaleGivesAbsoluteScaleButSetTransformTheDifference) {
    Family f;
    f.child.scale = glm::vec3(0.5f);
    f.parent.setScale(glm::vec3(3.0f));
    expectNear(f.child.scale, glm::vec3(3.0f));

    Family g;
    g.child.scale = glm::vec3(0.5f);
    g.parent.setTransform(glm::vec3(1, 0, 0), glm::vec3(0.0f), glm::vec3(3.0f));
    expectNear(g.child.scale, glm::vec3(2.5f));
}

TEST(SceneObject, SetTransformMovesThenOrbitsAboutTheNewPosition) {
    Family f;
    f.parent.setTransform(glm::vec3(2, 0, 0), glm::vec3(0, kHalfPi, 0), glm::vec3(1.0f));
    expectNear(f.child.position, glm::vec3(0, 0, 0));
    expectNear(f.parent.position, glm::vec3(2, 0, 0));
    expectNear(f.parent.rotation, glm::vec3(0, kHalfPi, 0));
}

TEST(SceneObject, RotateAroundUsesTheParentsFrame) {
    // A camera-like child behind a parent that faces along -x (turned 90 degrees about y).
    SceneObject parent, child;
    parent.rotation = glm::vec3(0, kHalfPi, 0);
    child.parent = &parent;
    child.rotation = glm::vec3(0, kHalfPi, 0);
    child.position = glm::vec3(5, 0, 0);
    parent.children = {&child};
    // A pitch in the parent's frame tilts about the parent's sideways axis (world z), so the child
    // moves within the x-y plane, not the y-z plane as a world-x pitch would.
    child.rotateAround(glm::vec3(0.0f), glm::vec3(0.3f, 0, 0));
    EXPECT_NEAR(child.position.z, 0.0f, 1e-5f);
    EXPECT_NEAR(std::abs(child.position.y), 5.0f * std::sin(0.3f), 1e-4f);
    EXPECT_NEAR(child.position.x, 5.0f * std::cos(0.3f), 1e-4f);
    EXPECT_NEAR(child.rotation.x, 0.3f, 1e-6f);
}

TEST(SceneObject, HidingIsRecursive) {
    SceneObject a, b, c;
    a.children = {&b, nullptr};
    b.children = {&c};
    a.setVisible(false);
    EXPECT_FALSE(a.visible);
    EXPECT_FALSE(b.visible);
    EXPECT_FALSE(c.visible);
}

TEST(SceneObject, ModelMatrixIsTranslateRotateScaleWithXAppliedFirst) {
    SceneObject o;
    o.position = glm::vec3(10, 0, 0);
    o.rotation = glm::vec3(kHalfPi, 0, kHalfPi);
    o.scale = glm::vec3(2.0f);
    // (0, 1, 0) scaled to (0, 2, 0); Rx(90) takes it to (0, 0, 2); Rz(90) leaves z; then translate.
    const glm::vec4 p = o.getModelMatrix() * glm::vec4(0, 1, 0, 1);
    expectNear(glm::vec3(p), glm::vec3(10, 0, 2));
}

}  // namespace
