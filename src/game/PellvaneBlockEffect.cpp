// PellvaneBlockEffect: the smooth-step animation of alpha, scale and position.
#include "game/PellvaneBlockEffect.h"

#include "game/Interpolate.h"

PellvaneBlockEffect::PellvaneBlockEffect(const SpriteProperties& properties, float lifetime, float endAlpha,
                                         float endScaleX, float endScaleY)
    : EffectBaseEntity(properties, lifetime), startAlpha(properties.colour.alpha), endAlpha(endAlpha),
      startScale(properties.scale), endScale{endScaleX, endScaleY}, startPosition(properties.position) {
    const float w = properties.width;
    const float h = properties.height;
    endPosition.x = properties.position.x - (endScale.x * w - startScale.x * w) * 0.5f;
    endPosition.y = properties.position.y - (endScale.y * h - startScale.y * h) * 0.5f;
}

void PellvaneBlockEffect::update(float dt) {
    EffectBaseEntity::update(dt);
    if (!(elapsed < lifetime))
        return;
    const float t = elapsed / lifetime;
    colour.alpha = interpolate(startAlpha, endAlpha, t, kEaseSmoothStep);
    scale.x = interpolate(startScale.x, endScale.x, t, kEaseSmoothStep);
    scale.y = interpolate(startScale.y, endScale.y, t, kEaseSmoothStep);
    position.x = interpolate(startPosition.x, endPosition.x, t, kEaseSmoothStep);
    position.y = interpolate(startPosition.y, endPosition.y, t, kEaseSmoothStep);
}
