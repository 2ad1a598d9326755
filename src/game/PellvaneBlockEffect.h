// The short echo of a hit: a copy of an entity's look that grows about its own centre and fades
// out over its lifetime, then removes itself from the scene.
#pragma once

#include "collision/Vector2.h"
#include "scene/EffectBaseEntity.h"

class PellvaneBlockEffect : public EffectBaseEntity {
public:
    PellvaneBlockEffect(const SpriteProperties& properties, float lifetime, float endAlpha, float endScaleX,
                        float endScaleY);

    void update(float dt) override;

    float startAlpha;
    float endAlpha;
    Vector2 startScale;
    Vector2 endScale;
    Vector2 startPosition;
    // Where the top-left corner must be at the end scale for the centre to stay in place.
    Vector2 endPosition;
};
