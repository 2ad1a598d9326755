// The pair table: what a collider of one kind answers when tested against one of the other kind.
// Each answer reads both shapes, so both live here, side by side; the shape files
// (AABBCollider.cpp, SweptCircleCollider.cpp) know only their own shape and never each other.
#include "collision/AABBCollider.h"
#include "collision/CollisionResult.h"
#include "collision/Geometry.h"
#include "collision/SweptCircle.h"
#include "collision/SweptCircleCollider.h"

std::optional<CollisionResult> AABBCollider::testCollision(const ICollider* other) {
    if (other == nullptr || other->getType() != kSweptCircleColliderType)
        return std::nullopt;
    const auto* circle = static_cast<const SweptCircleCollider*>(other);

    // A box does not move, so only where the circle is now matters, not where it is going.
    Vector2 nearest;
    if (!circleIntersectsRect(circle->getStartCentre(), circle->getRadius(), getBounds(), nearest))
        return std::nullopt;
    // The record names both colliders as mutable pointers so the entities told of the hit can act on
    // them; the test itself never modifies other.
    return CollisionResult{this, const_cast<ICollider*>(other), nearest, {0.0f, 0.0f}};
}

// The circle hands its current path to sweepCircleAgainstRect and turns the contact centre back into
// its owner's position.
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
    return CollisionResult{this, const_cast<ICollider*>(other), sweep.centre - offset, sweep.normal, sweep.fraction};
}
