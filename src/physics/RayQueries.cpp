#include "physics/RayQueries.h"

#include "physics/Bodies.h"

#include <btBulletDynamicsCommon.h>

namespace physics {

namespace {

class FilteredClosestHit : public btCollisionWorld::ClosestRayResultCallback {
public:
    FilteredClosestHit(const btVector3& from, const btVector3& to, const btCollisionObject* ignored,
                       const OwnerFilter& accept)
        : ClosestRayResultCallback(from, to), ignored(ignored), accept(accept) {}

    bool needsCollision(btBroadphaseProxy* proxy) const override {
        const auto* body = static_cast<const btCollisionObject*>(proxy->m_clientObject);
        if (body == ignored) return false;
        if (accept && !accept(ownerOf(body))) return false;
        return ClosestRayResultCallback::needsCollision(proxy);
    }

private:
    const btCollisionObject* ignored;
    const OwnerFilter& accept;
};

class FilteredClosestSweep : public btCollisionWorld::ClosestConvexResultCallback {
public:
    FilteredClosestSweep(const btVector3& from, const btVector3& to, const OwnerFilter& accept)
        : ClosestConvexResultCallback(from, to), accept(accept) {}

    bool needsCollision(btBroadphaseProxy* proxy) const override {
        const auto* body = static_cast<const btCollisionObject*>(proxy->m_clientObject);
        if (accept && !accept(ownerOf(body))) return false;
        return ClosestConvexResultCallback::needsCollision(proxy);
    }

private:
    const OwnerFilter& accept;
};

}  // namespace

RayHit closestHit(btDynamicsWorld* world, const btVector3& from, const btVector3& to, const btCollisionObject* ignored,
                  const OwnerFilter& accept) {
    RayHit result;
    if (!world) return result;
    FilteredClosestHit ray(from, to, ignored, accept);
    world->rayTest(from, to, ray);
    if (!ray.hasHit()) return result;
    result.hit = true;
    result.point = ray.m_hitPointWorld;
    result.owner = ownerOf(ray.m_collisionObject);
    result.normal = ray.m_hitNormalWorld;
    return result;
}

RayHit dropDown(btDynamicsWorld* world, const glm::vec3& from, btScalar length, const btCollisionObject* ignored,
                const OwnerFilter& accept) {
    const btVector3 start = toBullet(from);
    return closestHit(world, start, start - btVector3(0, length, 0), ignored, accept);
}

double sweepSphere(btDynamicsWorld* world, const btVector3& from, const btVector3& to, btScalar radius,
                   const OwnerFilter& accept) {
    if (!world || from.distance2(to) <= 0.0) return 1.0;
    btSphereShape sphere(radius);
    const btTransform start(btQuaternion::getIdentity(), from);
    const btTransform end(btQuaternion::getIdentity(), to);
    FilteredClosestSweep sweep(from, to, accept);
    world->convexSweepTest(&sphere, start, end, sweep);
    return sweep.hasHit() ? sweep.m_closestHitFraction : 1.0;
}

}  // namespace physics
