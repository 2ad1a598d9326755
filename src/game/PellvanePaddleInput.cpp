// PellvanePaddleEntity's input: the keys, with "mouse" the pointer's moves and clicks, and the
// gamepad, as the paddle's direction, its target under the pointer, its launches and its guns'
// volleys; and the game's events, which take and serve its ball and start it afresh.
#include "game/PellvanePaddleEntity.h"

#include <algorithm>

#include "game/GameEvents.h"
#include "game/PellvaneBallEntity.h"
#include "game/PlayField.h"

namespace {
const char* const kSource = "PellvanePaddleEntity";
} // namespace

bool PaddleInputCallback::handleEvent(IEvent* event) {
    if (auto* key = dynamic_cast<KeyboardEvent*>(event))
        return paddle->handleKey(*key);
    if (auto* mouse = dynamic_cast<MouseEvent*>(event))
        return paddle->handleMouse(*mouse);
    if (auto* pad = dynamic_cast<JoystickEvent*>(event))
        return paddle->handleJoystick(*pad);
    return false;
}

void PellvanePaddleEntity::steerTowardsPointer(float dt, float boxWidth, bool inputEnabled) {
    // Out of play the pointer steers nothing, and the paddle must not drift on at its last speed.
    const float step = speed * dt;
    if (!inputEnabled || !(step > 0.0f)) {
        direction = 0.0f;
        return;
    }
    const float gap = pointerX - boxWidth * 0.5f - position.x;
    direction = std::clamp(gap / step, -1.0f, 1.0f);
}

void PellvanePaddleEntity::trigger() {
    // A ball on the paddle goes first; with none to launch, armed guns take the press for
    // themselves, or a player firing at blocks would keep catching the ball.
    if (guns && !holdingBall && heldExtras.empty())
        playFieldOf(scene, kSource).fireGuns();
    else
        launchOrCatch();
}

bool PellvanePaddleEntity::handleMouse(const MouseEvent& event) {
    const IPlayField& field = playFieldOf(scene, kSource);
    const bool inPlay = field.getMatch().isInputEnabled() && !field.isPaused();
    switch (event.action) {
    case MouseMoved:
        // Remembered even out of play, so the paddle heads for the pointer's present place once
        // steering again; only a move in play hands the paddle to the pointer.
        pointerX = static_cast<float>(event.x);
        steering = steering || inPlay;
        return inPlay;
    case MouseButtonDown:
        if (event.button != LeftButton && event.button != RightButton)
            return false;
        clickArmed = inPlay;
        return inPlay;
    case MouseButtonUp: {
        if (event.button != LeftButton && event.button != RightButton)
            return false;
        // Only a click begun in play counts: the release of a click that resumed a pause is not
        // a launch.
        const bool launch = clickArmed && inPlay;
        clickArmed = false;
        if (launch)
            trigger();
        return launch;
    }
    default:
        return false;
    }
}

bool PellvanePaddleEntity::handleJoystick(const JoystickEvent& event) {
    const IPlayField& field = playFieldOf(scene, kSource);
    const GamepadSettings& pad = field.getSettings().gamepad;
    const bool inPlay = field.getMatch().isInputEnabled() && !field.isPaused();
    const std::string name = event.getName();
    if (name == JOYSTICK_BUTTON_DOWN_EVENT || name == JOYSTICK_BUTTON_UP_EVENT) {
        if (gamepad::button(event, pad) != gamepad::Button::Launch)
            return false;
        // As with a click, only a press begun in play launches on its release.
        const bool launch = !gamepad::isButtonDown(event) && padArmed && inPlay;
        padArmed = gamepad::isButtonDown(event) && inPlay;
        if (launch)
            trigger();
        return inPlay;
    }
    float wanted = 0.0f;
    if (name == JOYSTICK_AXIS_EVENT && event.index == pad.axis)
        wanted = gamepad::stickDirection(event.value, pad.deadZone);
    else if (name == JOYSTICK_HAT_EVENT)
        wanted = (event.value & HatLeft) != 0 ? -1.0f : (event.value & HatRight) != 0 ? 1.0f : 0.0f;
    else
        return false;
    if (!inPlay)
        return false;
    if (wanted != 0.0f) {
        direction = wanted;
        steering = false;
        padSteering = true;
    } else if (padSteering) {
        direction = 0.0f;
        padSteering = false;
    }
    return true;
}

bool PellvanePaddleEntity::handleKey(const KeyboardEvent& event) {
    const IPlayField& field = playFieldOf(scene, kSource);
    if (!field.getMatch().isInputEnabled() || field.isPaused())
        return false;
    switch (event.key) {
    case kKeySpace:
        if (!event.pressed)
            trigger();
        return true;
    case kKeyA:
    case kKeyLeft:
        if (event.pressed) {
            direction = -1.0f;
            steering = false;
            padSteering = false;
        } else if (direction == -1.0f) {
            direction = 0.0f;
        }
        return true;
    case kKeyD:
    case kKeyRight:
        if (event.pressed) {
            direction = 1.0f;
            steering = false;
            padSteering = false;
        } else if (direction == 1.0f) {
            direction = 0.0f;
        }
        return true;
    default:
        return false;
    }
}

bool PaddlePellvaneCallback::handleEvent(IEvent* event) {
    if (event != nullptr)
        paddle->handleGameEvent(*event);
    return false;
}

void PellvanePaddleEntity::handleGameEvent(const IEvent& event) {
    const std::string name = event.getName();
    if (name == PELLVANE_INITIATED) {
        findBall();
        takeBall();
    } else if (name == PELLVANE_BALL_LOST) {
        // With "lost_delay" the lost ball waits out of sight and the next is served after it.
        if (playFieldOf(scene, kSource).getSettings().match.lostDelay > 0.0f) {
            if (ball != nullptr)
                ball->park();
        } else {
            takeBall();
            announceReady();
        }
    } else if (name == PELLVANE_BALL_SERVED) {
        takeBall();
        announceReady();
    } else if (name == PELLVANE_NEW_LEVEL_LOADED) {
        reset();
        takeBall();
    } else if (name == PELLVANE_NEW_LEVEL_STARTED) {
        announceReady();
    } else if (name == PELLVANE_LEVEL_CLEARED || name == PELLVANE_ALL_CLEARED) {
        // The ball rests on the paddle while the cleared level (or the whole lap) is shown.
        takeBall();
    } else if (name == PELLVANE_GAME_STARTED) {
        // A game is its seed and its inputs: nothing held or asked for before it carries into it,
        // or its replay, which starts from nothing, would play another game.
        direction = 0.0f;
        steering = false;
        clickArmed = false;
        padArmed = false;
        padSteering = false;
        measuredVelocity = 0.0f;
        sinceBounce = 1e9f;
        catchRequest = 0.0f;
    } else if (name == PELLVANE_GAME_PAUSED) {
        // Keys let go while the window had no focus are never reported: stop rather than drift.
        // A button held through the pause launches nothing when let go after it, pad or mouse.
        direction = 0.0f;
        clickArmed = false;
        padArmed = false;
        padSteering = false;
    }
}
