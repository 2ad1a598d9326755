// PellvaneEventSoundEntity: reading the pair of names, and playing on the event.
#include "game/PellvaneEventSoundEntity.h"

#include <tinyxml.h>

#include "base/Exceptions.h"
#include "app/Game.h"
#include "game/PellvaneGameScene.h"
#include "base/XmlAttributes.h"
#include "sound/SoundManager.h"

namespace {
const char* const kSource = "PellvaneEventSoundEntity";
} // namespace

bool EventSoundCallback::handleEvent(IEvent*) {
    entity->play();
    return false;
}

PellvaneEventSoundEntity::~PellvaneEventSoundEntity() {
    if (dispatcher != nullptr)
        dispatcher->unregisterCallback(event, callback.get());
}

void PellvaneEventSoundEntity::load(const TiXmlHandle& handle, IScene* owner) {
    scene = owner;
    const TiXmlElement* element = handle.ToElement();
    if (element == nullptr)
        throw EntityException(kSource, "Invalid element!");
    if (!xml::readText(element, "event", event) || event.empty())
        throw EntityException(kSource, "No event specified!");
    if (!xml::readText(element, "sound", sound) || sound.empty())
        throw EntityException(kSource, "No sound specified!");
    // Found out now, at start-up, rather than at the first such event in play.
    SoundManager* sounds = Game::getInstance()->getSoundManager();
    if (sounds != nullptr && !sounds->hasSound(sound))
        throw SoundException(sound, "No sound with that ID to play!");
    PellvaneGameScene* game = gameSceneOf(owner, kSource);
    if (dispatcher == nullptr) {
        callback = std::make_unique<EventSoundCallback>(this);
        dispatcher = game;
        dispatcher->registerCallback(event, callback.get());
    }
}

void PellvaneEventSoundEntity::play() {
    if (SoundManager* sounds = Game::getInstance()->getSoundManager())
        sounds->playSound(sound);
}
