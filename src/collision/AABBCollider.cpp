// The box collider's shape: bounds from the owner's live position. Its test against a circle is
// in the pair table (ColliderPairs.cpp).
#include "collision/AABBCollider.h"

#include "collision/Geometry.h"

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
