// PellvaneCapsuleEntity: the fall, the catch and the loss.
#include "game/PellvaneCapsuleEntity.h"

#include "collision/AABBCollider.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvanePaddleEntity.h"

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
    PellvaneGameScene* game = gameSceneOf(scene, kSource);
    const float startY = position.y;
    position.y += fallSpeed * dt;
    if (touchesPaddle(*game, startY)) {
        retire();
        game->powerUpCaught(kind);
        return;
    }
    const Rect area = game->getGameArea();
    if (position.y > area.y + area.height)
        retire();
}

bool PellvaneCapsuleEntity::touchesPaddle(PellvaneGameScene& game, float startY) {
    PellvanePaddleEntity* paddle = game.getPaddle();
    const ICollider* box = paddle != nullptr ? paddle->getCollider() : nullptr;
    if (box == nullptr || box->getType() != kAABBColliderType)
        return false;
    const Rect bounds = static_cast<const AABBCollider*>(box)->getBounds();
    // The whole path of this frame, from where the capsule was to where it is: a long frame or a
    // fast fall would otherwise carry it through a paddle thinner than one step, or out of the
    // field before it was tested at all.
    return position.x < bounds.x + bounds.width && position.x + width > bounds.x && startY < bounds.y + bounds.height &&
           position.y + height > bounds.y;
}
