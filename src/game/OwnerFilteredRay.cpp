#include "game/OwnerFilteredRay.h"

#include "game/SceneObject.h"

#include <string>

namespace {

const SceneObject* ownerOf(const btCollisionObject* body) {
    return body ? static_cast<const SceneObject*>(body->getUserPointer()) : nullptr;
}

}  // namespace

OwnerFilteredRay::OwnerFilteredRay(const btVector3& from, const btVector3& to, Accept accept)
    : ClosestRayResultCallback(from, to), accept(std::move(accept)) {}

bool OwnerFilteredRay::needsCollision(btBroadphaseProxy* proxy) const {
    const auto* body = static_cast<const btCollisionObject*>(proxy->m_clientObject);
    return accept(ownerOf(body)) && ClosestRayResultCallback::needsCollision(proxy);
}

const SceneObject* OwnerFilteredRay::hitOwner() const { return hasHit() ? ownerOf(m_collisionObject) : nullptr; }

OwnerFilteredRay::Accept OwnerFilteredRay::named(const char* name) {
    return [name = std::string(name)](const SceneObject* owner) { return owner && owner->name == name; };
}

OwnerFilteredRay::Accept OwnerFilteredRay::namedEither(const char* first, const char* second) {
    return [a = std::string(first), b = std::string(second)](const SceneObject* owner) {
        return owner && (owner->name == a || owner->name == b);
    };
}
