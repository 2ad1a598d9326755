// A sprite entity with an axis-aligned box collider over its unscaled box: the "box" type,
// and the base of the paddle and the blocks.
#pragma once

#include <optional>

#include "collision/AABBCollider.h"
#include "scene/SpriteEntity.h"

// Holds its collider by value; the collider reads this entity's position by reference, so the
// entity is never copied or moved.
class BoxEntity : public SpriteEntity {
public:
    BoxEntity() = default;
    BoxEntity(const BoxEntity&) = delete;
    BoxEntity& operator=(const BoxEntity&) = delete;

    void load(const TiXmlHandle& handle, IScene* scene) override;
    // Null until loaded.
    ICollider* getCollider() override { return collider ? &*collider : nullptr; }

protected:
    std::optional<AABBCollider> collider;
    bool staticBox = true;
};
