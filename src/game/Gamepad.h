// The gamepad as the game reads it ("gamepad" of the scene): which of the pad's buttons launches,
// pauses and continues, the stick that steers with its dead zone, and what one joystick event
// (events/Events.h) asks of the game in those terms. The paddle, the pause, the initials entry and
// the buttons each take from it what they answer.
#pragma once

#include <cstdint>

#include "base/Setting.h"
#include "events/Events.h"

class LoadDiagnostics;
class TiXmlElement;

// Attributes of the scene's "gamepad" element. Pads number their buttons differently: Xbox-style
// pads call their start button 7, many others 9; A (or cross) is 0 on most.
namespace gamepadsettings {
using K = ValueKind;
inline constexpr Setting kAxis{"axis", K::Integer, "0", "the stick's axis that steers the paddle across", 0, 255};
inline constexpr Setting kDeadZone{
    "dead_zone", K::Float, "0.2", "share of the stick's travel either side of the centre that steers nothing", 0, 0.9};
inline constexpr Setting kLaunch{
    "launch", K::Integer, "-1", "the button that launches, fires, confirms and starts; -1: every other button",
    -1,       255};
inline constexpr Setting kPause{"pause", K::Integer, "7", "the button that pauses and resumes (and starts)", -1, 255};
inline constexpr Setting kContinue{
    "continue", K::Integer, "3", "the button that starts CONTINUE where offered; -1: none", -1, 255};
} // namespace gamepadsettings

struct GamepadSettings {
    // The scene has a "gamepad" element: without one the game ignores every gamepad.
    bool on = false;
    int axis = 0;
    float deadZone = 0.2f;
    int launch = -1;
    int pause = 7;
    int continueButton = 3;
};

// Reads the "gamepad" child of the scene element, if there is one. A setting out of range throws
// SceneException with `source`, or is reported to `diagnostics` and keeps its default.
void readGamepadSettings(const TiXmlElement* sceneElement, GamepadSettings& settings, const char* source,
                         LoadDiagnostics* diagnostics);

namespace gamepad {
// The joystick events the game listens to on the Game's dispatcher.
inline const std::string* const kEventNames[] = {&JOYSTICK_AXIS_EVENT, &JOYSTICK_BUTTON_DOWN_EVENT,
                                                 &JOYSTICK_BUTTON_UP_EVENT, &JOYSTICK_HAT_EVENT};

// What a button of the pad stands for.
enum class Button { None, Launch, Pause, Continue };

// The joystick event `event` is, when the gamepad is on; null otherwise.
const JoystickEvent* event(const IEvent& event, const GamepadSettings& settings);
// The button of a button event (down or up), None for any other event.
Button button(const JoystickEvent& event, const GamepadSettings& settings);
bool isButtonDown(const JoystickEvent& event);
// The steering axis's deflection as a direction from -1 to 1: 0 inside the dead zone, then in
// proportion to the travel beyond it, so a stick half out moves the paddle at about half speed.
float stickDirection(int32_t value, float deadZone);
} // namespace gamepad
