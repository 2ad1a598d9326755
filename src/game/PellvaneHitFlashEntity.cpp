// PellvaneHitFlashEntity: the pool of flashes, filled on the event and faded out frame by frame.
#include "game/PellvaneHitFlashEntity.h"

#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "game/GameEvents.h"
#include "game/PlayField.h"
#include "graphics/Sprite.h"
#include "graphics/SpriteBatch.h"
#include "scene/BaseScene.h"

namespace {
const char* const kSource = "PellvaneHitFlashEntity";
} // namespace

bool HitFlashCallback::handleEvent(IEvent* event) {
    if (const auto* game = dynamic_cast<const PellvaneEvent*>(event); game != nullptr && game->where)
        entity->flashAt(*game->where);
    return false;
}

PellvaneHitFlashEntity::~PellvaneHitFlashEntity() = default;

void PellvaneHitFlashEntity::load(const TiXmlHandle& handle, IScene* owner) {
    SpriteEntity::load(handle, owner);
    const TiXmlElement* element = handle.ToElement();
    if (element == nullptr)
        throw EntityException(kSource, "Invalid element!");
    using namespace hitflashsettings;
    SettingReader<EntityException>(element, kSource, loadObserverOf(owner))(kEvent, event)(kLifetime, lifetime)(kMost,
                                                                                                                most);
    if (event.empty())
        throw EntityException(kSource, "No event specified!");
    IPlayField& field = playFieldOf(owner, kSource);
    if (!callback) {
        callback = std::make_unique<HitFlashCallback>(this);
        subscriptions.add(&field.getGameEvents(), event, callback.get());
    }
}

void PellvaneHitFlashEntity::flashAt(const Vector2& at) {
    Flash* slot = &flashes[0];
    for (int i = 0; i < most; ++i) {
        Flash& each = flashes[static_cast<std::size_t>(i)];
        if (!each.showing) {
            slot = &each;
            break;
        }
        if (each.age > slot->age)
            slot = &each;
    }
    *slot = Flash{at, 0.0f, true};
}

int PellvaneHitFlashEntity::getShowing() const {
    int showing = 0;
    for (const Flash& each : flashes)
        showing += each.showing ? 1 : 0;
    return showing;
}

void PellvaneHitFlashEntity::update(float dt) {
    for (Flash& each : flashes) {
        if (!each.showing)
            continue;
        each.age += dt;
        each.showing = each.age < lifetime;
    }
}

void PellvaneHitFlashEntity::reset() {
    SpriteEntity::reset();
    for (Flash& each : flashes)
        each.showing = false;
}

void PellvaneHitFlashEntity::render(SpriteBatch* batch) {
    if (sprite == nullptr || frame < 0 || static_cast<uint32_t>(frame) >= sprite->getFrameCount())
        return;
    const Vector2 size = drawnSize(static_cast<uint32_t>(frame));
    for (const Flash& each : flashes) {
        if (!each.showing)
            continue;
        // Bright at once, then fading out faster at first: a flash, not a glow.
        const float left = 1.0f - each.age / lifetime;
        Colour tint = colour;
        tint.alpha *= left * left;
        if (tint.alpha <= kInvisibleTintAlpha)
            continue;
        const Vector2 corner = each.at - size * 0.5f;
        sprite->renderVisible(batch, Matrix3::translation(corner.x, corner.y), size.x, size.y, tint,
                              static_cast<uint32_t>(frame), false, false);
    }
}
