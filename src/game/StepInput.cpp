// StepInput: the Game's input events queued and handed on at fixed steps, recorded or replayed.
#include "game/StepInput.h"

#include <utility>

namespace {
const std::string* const kLiveEvents[] = {
    &KEYBOARD_KEY_PRESSED_EVENT, &KEYBOARD_KEY_RELEASED_EVENT, &MOUSE_MOVE_EVENT,           &MOUSE_BUTTON_DOWN_EVENT,
    &MOUSE_BUTTON_UP_EVENT,      &JOYSTICK_AXIS_EVENT,         &JOYSTICK_BUTTON_DOWN_EVENT, &JOYSTICK_BUTTON_UP_EVENT,
    &JOYSTICK_HAT_EVENT,         &WINDOW_FOCUS_LOST_EVENT};
} // namespace

void StepInput::listen(EventDispatcher* liveInput, uint32_t viewHeight) {
    subscriptions.clear();
    live = liveInput;
    replayY = viewHeight > 0 ? viewHeight - 1 : 0;
    if (liveInput == nullptr)
        return;
    for (const std::string* name : kLiveEvents)
        subscriptions.add(liveInput, *name, this);
}

bool StepInput::handleEvent(IEvent* event) {
    liveInput = true;
    if (watched) {
        if (watcher != nullptr)
            watcher->handleEvent(event);
        return false;
    }
    if (!atSteps) {
        forward(*event);
        return true;
    }
    const std::optional<RecordedInput> input = convert(*event);
    if (!input)
        return false;
    if (const auto* mouse = dynamic_cast<const MouseEvent*>(event)) {
        pointerY = mouse->y;
        // A click where no move said the pointer was is a move and a click.
        const int32_t x = static_cast<int32_t>(mouse->x);
        if (input->kind != InputKind::PointerX && x != queuedX)
            queue.push_back({0, InputKind::PointerX, x, 0});
        queuedX = x;
    }
    queue.push_back(*input);
    return true;
}

void StepInput::forward(const IEvent& event) {
    if (const auto* key = dynamic_cast<const KeyboardEvent*>(&event))
        stepped.dispatchEvent(new KeyboardEvent(*key));
    else if (const auto* mouse = dynamic_cast<const MouseEvent*>(&event))
        stepped.dispatchEvent(new MouseEvent(*mouse));
    else if (const auto* pad = dynamic_cast<const JoystickEvent*>(&event))
        stepped.dispatchEvent(new JoystickEvent(*pad));
    else
        stepped.dispatchEvent(new Event(event.getName()));
}

std::optional<RecordedInput> StepInput::convert(const IEvent& event) {
    const std::string name = event.getName();
    if (const auto* key = dynamic_cast<const KeyboardEvent*>(&event))
        return RecordedInput{0, key->pressed ? InputKind::KeyDown : InputKind::KeyUp, key->key, 0};
    if (const auto* mouse = dynamic_cast<const MouseEvent*>(&event)) {
        switch (mouse->action) {
        case MouseMoved:
            return RecordedInput{0, InputKind::PointerX, static_cast<int32_t>(mouse->x), 0};
        case MouseButtonDown:
            return RecordedInput{0, InputKind::ButtonDown, mouse->button, 0};
        case MouseButtonUp:
            return RecordedInput{0, InputKind::ButtonUp, mouse->button, 0};
        default:
            return std::nullopt;
        }
    }
    if (const auto* pad = dynamic_cast<const JoystickEvent*>(&event)) {
        if (name == JOYSTICK_AXIS_EVENT)
            return RecordedInput{0, InputKind::JoyAxis, pad->index, pad->value};
        if (name == JOYSTICK_BUTTON_DOWN_EVENT)
            return RecordedInput{0, InputKind::JoyButtonDown, pad->index, 0};
        if (name == JOYSTICK_BUTTON_UP_EVENT)
            return RecordedInput{0, InputKind::JoyButtonUp, pad->index, 0};
        if (name == JOYSTICK_HAT_EVENT)
            return RecordedInput{0, InputKind::JoyHat, pad->index, pad->value};
        return std::nullopt;
    }
    if (name == WINDOW_FOCUS_LOST_EVENT)
        return RecordedInput{0, InputKind::FocusLost, 0, 0};
    return std::nullopt;
}

void StepInput::raise(const RecordedInput& input) {
    const uint32_t y = replaying ? replayY : pointerY;
    const auto x = static_cast<uint32_t>(pointerX < 0 ? 0 : pointerX);
    switch (input.kind) {
    case InputKind::PointerX:
        pointerX = input.a;
        stepped.dispatchEvent(new MouseEvent(MOUSE_MOVE_EVENT, static_cast<uint32_t>(input.a < 0 ? 0 : input.a), y,
                                             leftHeld, rightHeld, MouseMoved));
        break;
    case InputKind::ButtonDown:
    case InputKind::ButtonUp: {
        const bool down = input.kind == InputKind::ButtonDown;
        if (input.a == LeftButton)
            leftHeld = down;
        else if (input.a == RightButton)
            rightHeld = down;
        stepped.dispatchEvent(new MouseEvent(down ? MOUSE_BUTTON_DOWN_EVENT : MOUSE_BUTTON_UP_EVENT, x, y, leftHeld,
                                             rightHeld, down ? MouseButtonDown : MouseButtonUp, input.a));
        break;
    }
    case InputKind::KeyDown:
    case InputKind::KeyUp: {
        const bool down = input.kind == InputKind::KeyDown;
        stepped.dispatchEvent(
            new KeyboardEvent(down ? KEYBOARD_KEY_PRESSED_EVENT : KEYBOARD_KEY_RELEASED_EVENT, input.a, down));
        break;
    }
    case InputKind::FocusLost:
        stepped.dispatchEvent(new Event(WINDOW_FOCUS_LOST_EVENT));
        break;
    case InputKind::FocusGained:
        break;
    case InputKind::JoyAxis:
        stepped.dispatchEvent(new JoystickEvent(JOYSTICK_AXIS_EVENT, 0, input.a, input.b));
        break;
    case InputKind::JoyButtonDown:
        stepped.dispatchEvent(new JoystickEvent(JOYSTICK_BUTTON_DOWN_EVENT, 0, input.a, 1));
        break;
    case InputKind::JoyButtonUp:
        stepped.dispatchEvent(new JoystickEvent(JOYSTICK_BUTTON_UP_EVENT, 0, input.a, 0));
        break;
    case InputKind::JoyHat:
        stepped.dispatchEvent(new JoystickEvent(JOYSTICK_HAT_EVENT, 0, input.a, input.b));
        break;
    }
}

void StepInput::deliver() {
    if (replaying) {
        while (nextReplayed < game.inputs.size() && game.inputs[nextReplayed].step <= step)
            raise(game.inputs[nextReplayed++]);
        return;
    }
    // A game that starts during this loop puts its first input at the front of the queue.
    while (!queue.empty()) {
        RecordedInput input = queue.front();
        queue.pop_front();
        const bool recorded = recording;
        raise(input);
        if (recorded) {
            input.step = step;
            game.inputs.push_back(input);
        }
    }
}

void StepInput::gameStarted(std::optional<RecordingHeader> header) {
    step = 0;
    recording = header.has_value();
    if (!recording)
        return;
    game = Recording{*header, {}};
    // Told again, as a move: the paddle takes its place from it.
    queue.push_front({0, InputKind::PointerX, pointerX, 0});
}

const Recording* StepInput::recorded(bool midStep) {
    if (!recording || replaying)
        return nullptr;
    game.header.steps = step + (midStep ? 1 : 0);
    return &game;
}

void StepInput::giveLiveInputTo(IEventCallback* newWatcher) {
    watched = true;
    watcher = newWatcher;
    queue.clear();
}

void StepInput::replay(Recording replay) {
    game = std::move(replay);
    replaying = true;
    recording = false;
    nextReplayed = 0;
    step = 0;
    queue.clear();
    // The recorded game starts with nothing held.
    leftHeld = rightHeld = false;
}

bool StepInput::replayEnded() const {
    return replaying && nextReplayed >= game.inputs.size() && step >= game.header.steps;
}
