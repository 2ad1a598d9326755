// The gamepad's settings and the reading of its events.
#include "game/Gamepad.h"

#include <algorithm>
#include <cmath>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "events/Events.h"

namespace {
// The farthest an axis goes, either way (SDL reports -32768 to 32767).
constexpr float kAxisTravel = 32767.0f;
} // namespace

void readGamepadSettings(const TiXmlElement* sceneElement, GamepadSettings& settings, const char* source,
                         LoadDiagnostics* diagnostics) {
    settings = GamepadSettings{};
    const TiXmlElement* element = sceneElement != nullptr ? sceneElement->FirstChildElement("gamepad") : nullptr;
    settings.on = element != nullptr;
    if (element == nullptr)
        return;
    using namespace gamepadsettings;
    SettingReader<SceneException>(element, source, diagnostics)(kAxis, settings.axis)(kDeadZone, settings.deadZone)(
        kLaunch, settings.launch)(kPause, settings.pause)(kContinue, settings.continueButton);
}

namespace gamepad {

const JoystickEvent* event(const IEvent& event, const GamepadSettings& settings) {
    return settings.on ? dynamic_cast<const JoystickEvent*>(&event) : nullptr;
}

Button button(const JoystickEvent& event, const GamepadSettings& settings) {
    const std::string name = event.getName();
    if (name != JOYSTICK_BUTTON_DOWN_EVENT && name != JOYSTICK_BUTTON_UP_EVENT)
        return Button::None;
    if (event.index == settings.pause)
        return Button::Pause;
    if (event.index == settings.continueButton)
        return Button::Continue;
    if (settings.launch < 0 || event.index == settings.launch)
        return Button::Launch;
    return Button::None;
}

bool isButtonDown(const JoystickEvent& event) {
    return event.getName() == JOYSTICK_BUTTON_DOWN_EVENT;
}

float stickDirection(int32_t value, float deadZone) {
    const float share = std::clamp(static_cast<float>(value) / kAxisTravel, -1.0f, 1.0f);
    const float beyond = std::fabs(share) - deadZone;
    if (!(beyond > 0.0f))
        return 0.0f;
    return std::copysign(std::min(beyond / (1.0f - deadZone), 1.0f), share);
}

} // namespace gamepad
