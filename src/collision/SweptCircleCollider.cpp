// The swept circle collider's shape: a path read from its owner's fields. Its test against a box
// is in the pair table (ColliderPairs.cpp).
#include "collision/SweptCircleCollider.h"

SweptCircleCollider::SweptCircleCollider(bool isStatic, const Vector2& start, const Vector2& end, float radius,
                                         const Vector2& offset, IEntity* owner)
    : staticFlag(isStatic), start(start), end(end), radius(radius), offset(offset), owner(owner) {}
