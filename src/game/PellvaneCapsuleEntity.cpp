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
    position.y += fallSpeed * dt;
    const Rect area = game->getGameArea();
    if (position.y > area.y + area.height) {
        retire();
        return;
    }
    PellvanePaddleEntity* paddle = game->getPaddle();
    const ICollider* box = paddle != nullptr ? paddle->getCollider() : nullptr;
    if (box == nullptr || box->getType() != kAABBColliderType)
        return;
    const Rect bounds = static_cast<const AABBCollider*>(box)->getBounds();
    if (position.x < bounds.x + bounds.width && position.x + width > bounds.x && position.y < bounds.y + bounds.height &&
        position.y + height > bounds.y) {
        retire();
        game->powerUpCaught(kind);
    }
}
