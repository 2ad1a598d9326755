// The box collider: bounds from the owner's live position, and the static test against a circle.
#include "collision/AABBCollider.h"

#include "collision/CollisionResult.h"
#include "collision/Geometry.h"
#include "collision/SweptCircleCollider.h"

AABBCollider::AABBCollider(bool isStatic, const Vector2& position, float width, float height, const Vector2& offset,
                           IEntity* owner)
    : staticFlag(isStatic), position(position), offset(offset), owner(owner) {
    // Once here rather than at every query: the box keeps a corner and a size of zero or more.
    const Rect box = normalised({offset.x, offset.y, width, height});
    this->offset = {box.x, box.y};
    this->width = box.width;
    this->height = box.height;
}

Rect AABBCollider::getBounds() const {
    return {position.x + offset.x, position.y + offset.y, width, height};
}

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
