// MuteSignEntity: the sprite entity's picture, shown by the sound manager's mute.
#include "game/MuteSignEntity.h"

#include "game/PlayField.h"
#include "sound/SoundManager.h"

namespace {
const char* const kSource = "MuteSignEntity";
} // namespace

void MuteSignEntity::load(const TiXmlHandle& handle, IScene* owner) {
    SpriteEntity::load(handle, owner);
    // A sign outside a game scene would never learn of the sound: a start-up error.
    playFieldOf(owner, kSource);
}

bool MuteSignEntity::isVisible() {
    const SoundManager* sounds = playFieldOf(scene, kSource).getServices().sounds;
    return SpriteEntity::isVisible() && sounds != nullptr && sounds->isMuted();
}
