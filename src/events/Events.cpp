// The engine's event name constants, defined once and compared by value.
#include "events/Events.h"

// Input and window events go to the game's dispatcher, never a scene's, so no trigger in the data hears them.
const std::string KEYBOARD_KEY_PRESSED_EVENT = "KEYBOARD_KEY_PRESSED_EVENT";
const std::string KEYBOARD_KEY_RELEASED_EVENT = "KEYBOARD_KEY_RELEASED_EVENT";
const std::string MOUSE_MOVE_EVENT = "MOUSE_MOVE_EVENT";
const std::string MOUSE_BUTTON_DOWN_EVENT = "MOUSE_BUTTON_DOWN_EVENT";
const std::string MOUSE_BUTTON_UP_EVENT = "MOUSE_BUTTON_UP_EVENT";
const std::string JOYSTICK_AXIS_EVENT = "JOYSTICK_AXIS_EVENT";
const std::string JOYSTICK_BUTTON_DOWN_EVENT = "JOYSTICK_BUTTON_DOWN_EVENT";
const std::string JOYSTICK_BUTTON_UP_EVENT = "JOYSTICK_BUTTON_UP_EVENT";
const std::string JOYSTICK_HAT_EVENT = "JOYSTICK_HAT_EVENT";
const std::string WINDOW_FOCUS_LOST_EVENT = "WINDOW_FOCUS_LOST_EVENT";

namespace {
EventNameList sceneEvents;
}

const std::string SCENE_STARTED = sceneEvents.add("SCENE_STARTED");
const std::string SCENE_ENDED = sceneEvents.add("SCENE_ENDED");

const std::vector<std::string>& sceneEventNames() {
    return sceneEvents.all();
}
