// An axis-aligned box collider that follows its owner: boxes, blocks and the paddle. Against a
// swept circle it answers a static overlap test with the circle's start position.
#pragma once

#include "collision/ICollider.h"
#include "collision/Rect.h"
#include "collision/Vector2.h"

// Lifetime: the collider keeps a reference to its owner's position (read at every use, so the box
// moves with the owner without further calls) and a non-owning pointer to the owner. The owner
// creates and deletes the collider, so it must never outlive the owner.
class AABBCollider : public ICollider {
public:
    AABBCollider(bool isStatic, const Vector2& position, float width, float height, const Vector2& offset,
                 IEntity* owner);

    std::optional<CollisionResult> testCollision(const ICollider* other) override;
    int32_t getType() const override { return kAABBColliderType; }
    bool isStatic() const override { return staticFlag; }
    IEntity* getOwner() const override { return owner; }
    void setOwner(IEntity* newOwner) override { owner = newOwner; }

    // (position + offset, width, height), with the owner's position as it is now. A negative width
    // or height spans back from the position (normalised): the bounds never have one.
    virtual Rect getBounds() const;
    // A box that grows or shrinks with its owner (a paddle made wider).
    void setSize(float newWidth, float newHeight) {
        width = newWidth;
        height = newHeight;
    }

private:
    bool staticFlag;
    const Vector2& position;
    float width;
    float height;
    Vector2 offset;
    IEntity* owner;
};
