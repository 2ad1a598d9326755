// A sprite entity made by game code as a copy of another entity's look; it removes and
// destroys itself once its lifetime has run out (lifetime 0 or less: never).
#pragma once

#include "scene/SpriteEntity.h"

class EffectBaseEntity : public SpriteEntity {
public:
    EffectBaseEntity(const SpriteProperties& properties, float lifetime);

    void update(float dt) override;
    float getLifetime() const { return lifetime; }

protected:
    float lifetime;
    float elapsed = 0.0f;
};
