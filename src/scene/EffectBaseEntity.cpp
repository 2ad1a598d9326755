// EffectBaseEntity: copying a look and counting down a lifetime.
#include "scene/EffectBaseEntity.h"

#include "scene/IScene.h"

EffectBaseEntity::EffectBaseEntity(const SpriteProperties& properties, float lifetime) : lifetime(lifetime) {
    position = properties.position;
    scale = properties.scale;
    offset = properties.offset;
    rotation = properties.rotation;
    colour = properties.colour;
    width = properties.width;
    height = properties.height;
    layer = properties.layer;
    flipX = properties.flipX;
    flipY = properties.flipY;
    sprite = properties.sprite;
    frame = properties.frame;
    // Drawn at the frame's own size.
    sizeSet = false;
}

void EffectBaseEntity::update(float dt) {
    if (!(lifetime > 0.0f))
        return;
    elapsed += dt;
    if (elapsed > lifetime && scene != nullptr)
        scene->removeEntity(this, true);
}
