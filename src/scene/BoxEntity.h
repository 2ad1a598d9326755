// A sprite entity with an axis-aligned box collider over its unscaled box: the "box" type,
// and the base of the paddle and the blocks.
#pragma once

#include <memory>

#include "collision/AABBCollider.h"
#include "scene/SpriteEntity.h"

// Owns its collider; the collider reads this entity's position by reference.
class BoxEntity : public SpriteEntity {
public:
    BoxEntity() = default;
    ~BoxEntity() override;
    // A copy would share the collider and delete it twice.
    BoxEntity(const BoxEntity&) = delete;
    BoxEntity& operator=(const BoxEntity&) = delete;

    void load(const TiXmlHandle& handle, IScene* scene) override;
    ICollider* getCollider() override { return collider; }

    AABBCollider* collider = nullptr;
    bool staticBox = true;
};
