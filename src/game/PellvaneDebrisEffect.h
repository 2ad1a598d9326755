// A shard of a broken block: thrown out from where the block stood, it falls, spins and fades
// over its lifetime, then removes itself from the scene.
#pragma once

#include "collision/Vector2.h"
#include "scene/EffectBaseEntity.h"

class PellvaneDebrisEffect : public EffectBaseEntity {
public:
    PellvaneDebrisEffect(const SpriteProperties& properties, float lifetime, const Vector2& velocity, float gravity,
                         float spin);

    void update(float dt) override;

private:
    Vector2 velocity;
    float gravity;
    float spin;
    float startAlpha;
};
