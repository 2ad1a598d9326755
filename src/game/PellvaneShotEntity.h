// A shot of the paddle's guns: it flies straight up and is swept each frame against the scene's
// colliders like the ball, so no block is passed through however fast it flies or long the frame.
// A block it meets takes a hit as from a ball (metal rings); whatever it meets stops it, and so
// does the top of the game area.
#pragma once

#include "collision/SweptCircleCollider.h"
#include "scene/EffectBaseEntity.h"

// Its collider is a circle as wide as the shot at its head, and holds references to the shot's
// own fields: the collider lives and dies with it.
class PellvaneShotEntity : public EffectBaseEntity {
public:
    // `look` gives the sprite, the layer and where its top-left corner starts.
    PellvaneShotEntity(const SpriteProperties& look, float speed);
    PellvaneShotEntity(const PellvaneShotEntity&) = delete;
    PellvaneShotEntity& operator=(const PellvaneShotEntity&) = delete;

    void postUpdate(float dt) override;
    ICollider* getCollider() override { return &collider; }
    // Out of play at once, and out of the scene at the end of the update.
    void retire();

private:
    Vector2 nextPosition;
    float speed;
    SweptCircleCollider collider;
};
