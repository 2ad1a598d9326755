// PellvaneEventSoundEntity: reading the pair of names, and playing on the event.
#include "game/PellvaneEventSoundEntity.h"

#include <tinyxml.h>

#include "base/Exceptions.h"
#include "game/PlayField.h"
#include "base/XmlAttributes.h"
#include "sound/SoundManager.h"

namespace {
const char* const kSource = "PellvaneEventSoundEntity";
} // namespace

bool EventSoundCallback::handleEvent(IEvent*) {
    entity->play();
    return false;
}

PellvaneEventSoundEntity::~PellvaneEventSoundEntity() = default;

void PellvaneEventSoundEntity::load(const TiXmlHandle& handle, IScene* owner) {
    scene = owner;
    const TiXmlElement* element = handle.ToElement();
    if (element == nullptr)
        throw EntityException(kSource, "Invalid element!");
    using namespace eventsoundsettings;
    if (!xml::readText(element, kEvent.name, event) || event.empty())
        throw EntityException(kSource, "No event specified!");
    if (!xml::readText(element, kSound.name, sound) || sound.empty())
        throw EntityException(kSource, "No sound specified!");
    IPlayField& field = playFieldOf(owner, kSource);
    // Found out now, at start-up, rather than at the first such event in play.
    sounds = field.getServices().sounds;
    if (sounds != nullptr && !sounds->hasSound(sound))
        throw SoundException(sound, "No sound with that ID to play!");
    if (!callback) {
        callback = std::make_unique<EventSoundCallback>(this);
        subscriptions.add(&field.getGameEvents(), event, callback.get());
    }
}

void PellvaneEventSoundEntity::play() {
    // Its registration lasts as long as it does, but one in a level file speaks for that level
    // only while it is played.
    if (sounds != nullptr && playFieldOf(scene, kSource).takesPart(this))
        sounds->playSound(sound);
}
