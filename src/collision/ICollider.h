// The shape an entity collides with. Only the two mixed pairs collide: a box never hits a box
// and a circle never hits a circle (the pair table, ColliderPairs.cpp). The order of the operations
// is part of the interface.
#pragma once

#include <cstdint>
#include <optional>

#include "collision/CollisionResult.h"

class IEntity;

// The values getType answers.
constexpr int32_t kAABBColliderType = 0;
constexpr int32_t kSweptCircleColliderType = 1;

class ICollider {
public:
    virtual ~ICollider() = default;
    // The record of the hit when this collider hits other, or nothing.
    virtual std::optional<CollisionResult> testCollision(const ICollider* other) = 0;
    virtual int32_t getType() const = 0;
    // Carried for the owner's data; no test reads it.
    virtual bool isStatic() const = 0;
    // The entity the collider belongs to; not owned (the owner owns the collider).
    virtual IEntity* getOwner() const = 0;
    virtual void setOwner(IEntity* owner) = 0;
};
