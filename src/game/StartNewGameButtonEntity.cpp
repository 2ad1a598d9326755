// StartNewGameButtonEntity: registering for mouse releases and the hit test over the button.
#include "game/StartNewGameButtonEntity.h"

#include "events/EventDispatcher.h"
#include "scene/SceneContext.h"

bool StartNewGameButtonCallback::handleEvent(IEvent* event) {
    auto* mouse = dynamic_cast<MouseEvent*>(event);
    return mouse != nullptr && button->handleRelease(mouse->x, mouse->y);
}

StartNewGameButtonEntity::~StartNewGameButtonEntity() = default;

void StartNewGameButtonEntity::load(const TiXmlHandle& handle, IScene* owner) {
    FadeEntity::load(handle, owner);
    // Checked now so that a button outside a game scene is a start-up error, not a dead click.
    playFieldOf(owner, source);
    if (callback)
        return;
    callback = std::make_unique<StartNewGameButtonCallback>(this);
    clicks.add(contextOf(owner).input, MOUSE_BUTTON_UP_EVENT, callback.get());
}

bool StartNewGameButtonEntity::isOver(float x, float y) const {
    return position.x <= x && x <= position.x + width * scale.x && position.y <= y &&
           y <= position.y + height * scale.y;
}

bool StartNewGameButtonEntity::handleRelease(uint32_t x, uint32_t y) {
    // Clickable only when fully shown: not while waiting, delaying or fading either way.
    if (getState() != FadeState::Shown)
        return false;
    if (!isOver(static_cast<float>(x), static_cast<float>(y)))
        return false;
    press(playFieldOf(scene, source));
    return true;
}
