// StartNewGameButtonEntity: registering for mouse releases (and keys and the gamepad), the hit
// test over the button, and the keys that press it.
#include "game/StartNewGameButtonEntity.h"

#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "events/EventDispatcher.h"
#include "game/HighScoreKeeper.h"
#include "scene/LoadObserver.h"
#include "scene/SceneContext.h"

namespace {
// SDL 1.2 key symbols.
constexpr int32_t kKeyReturn = 13;
constexpr int32_t kKeySpace = 32;
constexpr int32_t kKeyC = 99;
constexpr int32_t kKeyPadEnter = 271;
} // namespace

bool StartNewGameButtonCallback::handleEvent(IEvent* event) {
    if (auto* mouse = dynamic_cast<MouseEvent*>(event))
        return button->handleRelease(mouse->x, mouse->y);
    return event != nullptr && button->handleStartInput(*event);
}

StartNewGameButtonEntity::~StartNewGameButtonEntity() = default;

void StartNewGameButtonEntity::load(const TiXmlHandle& handle, IScene* owner) {
    FadeEntity::load(handle, owner);
    // Checked now so that a button outside a game scene is a start-up error, not a dead click.
    playFieldOf(owner, source);
    if (callback)
        return;
    bool keys = false;
    if (const TiXmlElement* element = handle.ToElement())
        SettingReader<EntityException>(element, source, loadObserverOf(owner))(buttonsettings::kKeys, keys);
    callback = std::make_unique<StartNewGameButtonCallback>(this);
    EventDispatcher* input = contextOf(owner).input;
    clicks.add(input, MOUSE_BUTTON_UP_EVENT, callback.get());
    if (!keys)
        return;
    clicks.add(input, KEYBOARD_KEY_PRESSED_EVENT, callback.get());
    clicks.add(input, KEYBOARD_KEY_RELEASED_EVENT, callback.get());
    if (playFieldOf(owner, source).getSettings().gamepad.on)
        for (const std::string* name : gamepad::kEventNames)
            clicks.add(input, *name, callback.get());
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

bool StartNewGameButtonEntity::handleStartInput(const IEvent& event) {
    IPlayField& field = playFieldOf(scene, source);
    bool down = false;
    if (const auto* key = dynamic_cast<const KeyboardEvent*>(&event)) {
        if (!isStartKey(key->key))
            return false;
        down = key->pressed;
    } else if (const JoystickEvent* pad = gamepad::event(event, field.getSettings().gamepad)) {
        if (!isStartButton(gamepad::button(*pad, field.getSettings().gamepad)))
            return false;
        down = gamepad::isButtonDown(*pad);
    } else {
        return false;
    }
    // In play the same keys launch and pause; while initials are entered, Enter confirms them.
    const bool ready =
        getState() == FadeState::Shown && !field.getMatch().isInPlay() && !field.getHighScores().isEntering();
    if (down) {
        startArmed = ready;
        return ready;
    }
    const bool start = startArmed && ready;
    startArmed = false;
    if (start)
        press(field);
    return start;
}

bool StartNewGameButtonEntity::isStartKey(int32_t key) const {
    return key == kKeySpace || key == kKeyReturn || key == kKeyPadEnter;
}

bool StartNewGameButtonEntity::isStartButton(gamepad::Button button) const {
    return button == gamepad::Button::Launch || button == gamepad::Button::Pause;
}

bool ContinueButtonEntity::isStartKey(int32_t key) const {
    return key == kKeyC;
}

bool ContinueButtonEntity::isStartButton(gamepad::Button button) const {
    return button == gamepad::Button::Continue;
}
