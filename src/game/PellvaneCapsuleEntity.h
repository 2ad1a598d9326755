// A power-up capsule: released where a block broke, it falls straight down; the paddle catches it
// (the scene applies its power-up) or it is lost below the game area. Either way it removes itself.
#pragma once

#include <optional>

#include "collision/Rect.h"
#include "rules/PowerUpKinds.h"
#include "scene/EffectBaseEntity.h"

class PellvaneCapsuleEntity : public EffectBaseEntity {
public:
    // `look` gives the sprite, the layer and where its top-left corner starts.
    PellvaneCapsuleEntity(const SpriteProperties& look, PowerUp kind, float fallSpeed);

    void update(float dt) override;
    PowerUp getKind() const { return kind; }
    // Out of play at once: it neither falls nor is caught again, and leaves the scene at the end
    // of the update.
    void retire();

private:
    // Whether the paddle's box lies anywhere on the way down from `startY` to where it is now.
    bool touchesPaddle(const std::optional<Rect>& paddle, float startY) const;

    PowerUp kind;
    float fallSpeed;
};
