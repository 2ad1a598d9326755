// The engine's event name constants, defined once and compared by value.
#include "events/Events.h"

const std::string KEYBOARD_KEY_PRESSED_EVENT = "KEYBOARD_KEY_PRESSED_EVENT";
const std::string KEYBOARD_KEY_RELEASED_EVENT = "KEYBOARD_KEY_RELEASED_EVENT";
const std::string MOUSE_MOVE_EVENT = "MOUSE_MOVE_EVENT";
const std::string MOUSE_BUTTON_DOWN_EVENT = "MOUSE_BUTTON_DOWN_EVENT";
const std::string MOUSE_BUTTON_UP_EVENT = "MOUSE_BUTTON_UP_EVENT";
const std::string SCENE_STARTED = "SCENE_STARTED";
const std::string SCENE_ENDED = "SCENE_ENDED";
const std::string WINDOW_FOCUS_LOST_EVENT = "WINDOW_FOCUS_LOST_EVENT";
