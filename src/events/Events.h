// Named events and the callback interface. An event is a heap object identified by its name;
// whoever creates one hands it to EventDispatcher::dispatchEvent, which destroys it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class IEvent {
public:
    virtual ~IEvent() = default;
    virtual std::string getName() const = 0;
};

class Event : public IEvent {
public:
    explicit Event(const std::string& name) : name(name) {}
    std::string getName() const override { return name; }

private:
    const std::string name;
};

// A key going down (pressed true) or coming up; key is the SDL 1.2 key symbol.
class KeyboardEvent : public Event {
public:
    KeyboardEvent(const std::string& name, int32_t key, bool pressed) : Event(name), key(key), pressed(pressed) {}
    int32_t key;
    bool pressed;
};

// Mouse actions reported by the main loop.
enum MouseAction : int32_t { MouseButtonDown = 0, MouseButtonUp = 1, MouseMoved = 4 };

// SDL 1.2's button numbers, as `MouseEvent::button` reports them (the wheel is buttons 4 and 5).
enum MouseButton : int32_t { NoButton = 0, LeftButton = 1, MiddleButton = 2, RightButton = 3 };

// leftButton and rightButton are the buttons' state when the event is translated, which for a
// click queued with its release already reads as up; `button` is the one that changed.
class MouseEvent : public Event {
public:
    MouseEvent(const std::string& name, uint32_t x, uint32_t y, bool leftButton, bool rightButton, int32_t action,
               int32_t button = NoButton)
        : Event(name), x(x), y(y), leftButton(leftButton), rightButton(rightButton), action(action), button(button) {}
    uint32_t x;
    uint32_t y;
    bool leftButton;
    bool rightButton;
    int32_t action;
    int32_t button;
};

// A gamepad or joystick (SDL's joystick interface): an axis moved, its `value` from -32768 to
// 32767; a button went down (value 1) or up (value 0); or a hat, the d-pad, changed, its `value`
// the directions now held (HatDirection bits, 0 at rest). `device` is the joystick's number from
// 0, `index` the axis, button or hat on it.
class JoystickEvent : public Event {
public:
    JoystickEvent(const std::string& name, int32_t device, int32_t index, int32_t value)
        : Event(name), device(device), index(index), value(value) {}
    int32_t device;
    int32_t index;
    int32_t value;
};

// The directions of a hat, as SDL 1.2 reports them.
enum HatDirection : int32_t { HatUp = 1, HatRight = 2, HatDown = 4, HatLeft = 8 };

class SceneEvent : public Event {
public:
    using Event::Event;
};

// A callback is owned by the entity that registered it; dispatchers only point at it.
// The event passed to handleEvent is valid only during the call. The result is informational.
class IEventCallback {
public:
    virtual bool handleEvent(IEvent* event) = 0;

protected:
    // Callbacks are deleted through their concrete type; a protected destructor keeps it that way.
    ~IEventCallback() = default;
};

// A list of event names filled as their constants are defined, so that a name is written once, in
// its definition: `const std::string NAME = list.add("NAME");` defines the constant and lists it.
// Define the list before the constants it lists, in the same file: they are initialised in order.
class EventNameList {
public:
    std::string add(const char* name) {
        names.emplace_back(name);
        return names.back();
    }
    const std::vector<std::string>& all() const { return names; }

private:
    std::vector<std::string> names;
};

// The engine's event names.
extern const std::string KEYBOARD_KEY_PRESSED_EVENT;
extern const std::string KEYBOARD_KEY_RELEASED_EVENT;
extern const std::string MOUSE_MOVE_EVENT;
extern const std::string MOUSE_BUTTON_DOWN_EVENT;
extern const std::string MOUSE_BUTTON_UP_EVENT;
extern const std::string JOYSTICK_AXIS_EVENT;
extern const std::string JOYSTICK_BUTTON_DOWN_EVENT;
extern const std::string JOYSTICK_BUTTON_UP_EVENT;
extern const std::string JOYSTICK_HAT_EVENT;
// Raised by every scene on its own dispatcher: on its first update, and as it ends.
extern const std::string SCENE_STARTED;
extern const std::string SCENE_ENDED;
// SCENE_STARTED and SCENE_ENDED, for the registry of the names data may give a scene's events.
const std::vector<std::string>& sceneEventNames();
// The window lost the keyboard focus or was iconified.
extern const std::string WINDOW_FOCUS_LOST_EVENT;
