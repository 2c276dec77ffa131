#pragma once

#include <btBulletDynamicsCommon.h>

#include <functional>

class SceneObject;

// Closest-hit ray test that only sees bodies whose owner (the scene object in the body's user
// pointer, null for bodies without one) passes `accept`: looking through the water, or seeing only
// the landscape.
class OwnerFilteredRay : public btCollisionWorld::ClosestRayResultCallback {
public:
    using Accept = std::function<bool(const SceneObject* owner)>;

    OwnerFilteredRay(const btVector3& from, const btVector3& to, Accept accept);

    bool needsCollision(btBroadphaseProxy* proxy) const override;
    // The owner of the closest accepted hit; null without a hit or for a body without an owner.
    const SceneObject* hitOwner() const;

    // Owners named `name`.
    static Accept named(const char* name);
    // Owners named `first` or `second`.
    static Accept namedEither(const char* first, const char* second);

private:
    Accept accept;
};
