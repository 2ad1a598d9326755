// PellvaneDebrisEffect: a thrown shard under gravity, fading out as it goes.
#include "game/PellvaneDebrisEffect.h"

PellvaneDebrisEffect::PellvaneDebrisEffect(const SpriteProperties& properties, float lifetime, const Vector2& velocity,
                                           float gravity, float spin)
    : EffectBaseEntity(properties, lifetime), velocity(velocity), gravity(gravity), spin(spin),
      startAlpha(properties.colour.alpha) {}

void PellvaneDebrisEffect::update(float dt) {
    EffectBaseEntity::update(dt);
    if (!(elapsed < lifetime))
        return;
    velocity.y += gravity * dt;
    position = position + dt * velocity;
    rotation += spin * dt;
    // Fully there for the first half, then gone by the end.
    const float t = elapsed / lifetime;
    colour.alpha = t < 0.5f ? startAlpha : startAlpha * (1.0f - t) * 2.0f;
}
