// GamePause: the overlay and the input that pauses and resumes.
#include "game/Pause.h"

#include <algorithm>
#include <memory>
#include <tinyxml.h>

#include "events/Events.h"
#include "game/Gamepad.h"
#include "scene/BaseScene.h"
#include "scene/GroupEntity.h"

namespace {
// SDL 1.2 key symbol of the pause key, "p".
constexpr int32_t kKeyPause = 112;
} // namespace

void GamePause::readOverlay(TiXmlElement* sceneElement, BaseScene& scene) {
    TiXmlElement* list = sceneElement->FirstChildElement("pause_overlay");
    if (list == nullptr)
        return;
    for (TiXmlElement* child = list->FirstChildElement(); child != nullptr; child = child->NextSiblingElement()) {
        if (std::unique_ptr<IEntity> entity = scene.loadEntity(child)) {
            overlay.push_back(entity.get());
            scene.addEntity(std::move(entity));
        }
    }
}

GamePause::Request GamePause::request(const IEvent& event, const GamepadSettings& pad) {
    const std::string name = event.getName();
    if (name == WINDOW_FOCUS_LOST_EVENT)
        return Request::Pause;
    if (const JoystickEvent* joystick = gamepad::event(event, pad)) {
        const gamepad::Button button = gamepad::button(*joystick, pad);
        const bool down = gamepad::isButtonDown(*joystick);
        if (button == gamepad::Button::Pause && down)
            return paused ? Request::Resume : Request::Pause;
        if (!paused || button != gamepad::Button::Launch)
            return Request::None;
        if (down)
            resumeArmed = true;
        else if (resumeArmed)
            return Request::Resume;
        return Request::None;
    }
    if (name == KEYBOARD_KEY_PRESSED_EVENT) {
        const auto* key = dynamic_cast<const KeyboardEvent*>(&event);
        if (key != nullptr && key->key == kKeyPause)
            return paused ? Request::Resume : Request::Pause;
        return Request::None;
    }
    if (!paused)
        return Request::None;
    // A whole click resumes, so its release cannot reach anything that reacts to releases (the
    // paddle's launch) as a fresh click.
    const auto* mouse = dynamic_cast<const MouseEvent*>(&event);
    if (mouse == nullptr)
        return Request::None;
    const bool button = mouse->button >= LeftButton && mouse->button <= RightButton;
    if (name == MOUSE_BUTTON_DOWN_EVENT)
        resumeArmed = button;
    else if (name == MOUSE_BUTTON_UP_EVENT && resumeArmed && button)
        return Request::Resume;
    return Request::None;
}

bool GamePause::pause() {
    if (paused)
        return false;
    paused = true;
    resumeArmed = false;
    return true;
}

bool GamePause::resume() {
    if (!paused)
        return false;
    paused = false;
    resumeArmed = false;
    return true;
}

void GamePause::update(BaseScene& scene, float dt) const {
    // Removals the overlay asks for wait for the first frame after the pause, when the scene's own
    // update carries them out.
    const std::vector<IEntity*>& entities = scene.getEntities();
    for (std::size_t i = 0; i < entities.size(); ++i) {
        if (entities[i]->isActive() && runsWhilePaused(entities[i]))
            entities[i]->update(dt);
    }
    for (std::size_t i = 0; i < entities.size(); ++i) {
        if (entities[i]->isActive() && runsWhilePaused(entities[i]))
            entities[i]->postUpdate(dt);
    }
}

bool GamePause::runsWhilePaused(IEntity* entity) const {
    for (IEntity* member : overlay) {
        if (member == entity)
            return true;
        // A group of the overlay brings its children along.
        if (auto* group = dynamic_cast<GroupEntity*>(member)) {
            if (group->hasChild(entity))
                return true;
        }
    }
    return false;
}

void GamePause::forget(const IEntity* entity) {
    overlay.erase(std::remove(overlay.begin(), overlay.end(), entity), overlay.end());
}
