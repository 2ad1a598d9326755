// A circle that sweeps from where its owner is to where it means to be this frame: the ball.
// Against a box it answers the first contact along the sweep and the surface normal there.
#pragma once

#include "collision/ICollider.h"
#include "collision/Vector2.h"

// Lifetime: the collider keeps references to two of its owner's fields (the current position as
// start, the intended position as end), read at every test, and a non-owning pointer to the owner.
// The owner creates and deletes the collider, so it must never outlive the owner.
class SweptCircleCollider : public ICollider {
public:
    // offset places the circle's centre relative to start and end (half the owner's size for the ball).
    SweptCircleCollider(bool isStatic, const Vector2& start, const Vector2& end, float radius, const Vector2& offset,
                        IEntity* owner);

    std::optional<CollisionResult> testCollision(const ICollider* other) override;
    int32_t getType() const override { return kSweptCircleColliderType; }
    bool isStatic() const override { return staticFlag; }
    IEntity* getOwner() const override { return owner; }
    void setOwner(IEntity* newOwner) override { owner = newOwner; }

    // The centre where the sweep begins (start + offset) and ends (end + offset), as of now.
    Vector2 getStartCentre() const { return start + offset; }
    Vector2 getEndCentre() const { return end + offset; }
    float getRadius() const { return radius; }
    const Vector2& getOffset() const { return offset; }

private:
    bool staticFlag;
    const Vector2& start;
    const Vector2& end;
    float radius;
    Vector2 offset;
    IEntity* owner;
};
