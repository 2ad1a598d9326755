// PellvaneShotEntity: the flight, the hit and the end of a shot.
#include "game/PellvaneShotEntity.h"

#include "collision/CollisionResult.h"
#include "game/PellvaneBlockEntity.h"
#include "game/PlayField.h"
#include "scene/IScene.h"

namespace {
const char* const kSource = "PellvaneShotEntity";
} // namespace

PellvaneShotEntity::PellvaneShotEntity(const SpriteProperties& look, float speed)
    : EffectBaseEntity(look, 0.0f), nextPosition(position), speed(speed),
      collider(false, position, nextPosition, width * 0.5f, Vector2{width * 0.5f, width * 0.5f}, this) {}

void PellvaneShotEntity::retire() {
    enabled = false;
    visible = false;
    if (scene != nullptr)
        scene->removeEntity(this, true);
}

void PellvaneShotEntity::postUpdate(float dt) {
    nextPosition = position - Vector2{0.0f, speed * dt};
    // The nearest collider on the way: a block takes the hit, and the shot ends there, whatever it met.
    if (const std::optional<CollisionResult> hit = scene->testCollision(this)) {
        const ICollider* other = hit->first == &collider ? hit->second : hit->first;
        if (auto* block = dynamic_cast<PellvaneBlockEntity*>(other != nullptr ? other->getOwner() : nullptr))
            block->takeHit();
        retire();
        return;
    }
    position = nextPosition;
    if (position.y + height < playFieldOf(scene, kSource).getGameArea().y)
        retire();
}
