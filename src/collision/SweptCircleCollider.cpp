// The swept circle collider: hands its current path to sweepCircleAgainstRect and turns the
// contact centre back into the owner's position.
#include "collision/SweptCircleCollider.h"

#include "collision/AABBCollider.h"
#include "collision/CollisionResult.h"
#include "collision/SweptCircle.h"

SweptCircleCollider::SweptCircleCollider(bool isStatic, const Vector2& start, const Vector2& end, float radius,
                                         const Vector2& offset, IEntity* owner)
    : staticFlag(isStatic), start(start), end(end), radius(radius), offset(offset), owner(owner) {}

std::optional<CollisionResult> SweptCircleCollider::testCollision(const ICollider* other) {
    if (other == nullptr || other->getType() != kAABBColliderType)
        return std::nullopt;
    const auto* box = static_cast<const AABBCollider*>(other);

    const Vector2 startCentre = getStartCentre();
    const Vector2 endCentre = getEndCentre();
    const Rect bounds = box->getBounds();
    // The sweep starts with the same reject; doing it here first keeps the common miss free of a call.
    if (!sweptBoundsOverlap(radius, startCentre, endCentre, bounds))
        return std::nullopt;
    const SweepResult sweep = sweepCircleAgainstRect(radius, startCentre, endCentre, bounds);
    if (!sweep.hit)
        return std::nullopt;
    // The record names both colliders as mutable pointers so the entities told of the hit can act on
    // them; the test itself never modifies other.
    return CollisionResult{this, const_cast<ICollider*>(other), sweep.centre - offset, sweep.normal,
                               sweep.fraction};
}
