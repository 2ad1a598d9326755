// PellvaneCapsuleEntity: the fall, the catch and the loss.
#include "game/PellvaneCapsuleEntity.h"

#include "game/GameEvents.h"
#include "game/PlayField.h"
#include "scene/IScene.h"

namespace {
const char* const kSource = "PellvaneCapsuleEntity";
} // namespace

PellvaneCapsuleEntity::PellvaneCapsuleEntity(const SpriteProperties& look, PowerUp kind, float fallSpeed)
    : EffectBaseEntity(look, 0.0f), kind(kind), fallSpeed(fallSpeed) {}

void PellvaneCapsuleEntity::retire() {
    enabled = false;
    visible = false;
    if (scene != nullptr)
        scene->removeEntity(this, true);
}

void PellvaneCapsuleEntity::update(float dt) {
    IPlayField& field = playFieldOf(scene, kSource);
    const float startY = position.y;
    position.y += fallSpeed * dt;
    if (touchesPaddle(field.getPaddleBounds(), startY)) {
        retire();
        field.capsuleCaught(kind);
        return;
    }
    const Rect area = field.getGameArea();
    if (position.y > area.y + area.height) {
        retire();
        field.raise(PELLVANE_CAPSULE_MISSED);
    }
}

bool PellvaneCapsuleEntity::touchesPaddle(const std::optional<Rect>& paddle, float startY) const {
    if (!paddle)
        return false;
    // The whole path of this frame, from where the capsule was to where it is: a long frame or a
    // fast fall would otherwise carry it through a paddle thinner than one step, or out of the
    // field before it was tested at all.
    return position.x < paddle->x + paddle->width && position.x + width > paddle->x &&
           startY < paddle->y + paddle->height && position.y + height > paddle->y;
}
