// PellvanePaddleEntity: keys, the launch and the catch, clamped movement, and the game events.
#include "game/PellvanePaddleEntity.h"

#include <algorithm>
#include <memory>
#include <tinyxml.h>
#include <vector>

#include "app/Exceptions.h"
#include "app/Game.h"
#include "collision/CollisionResult.h"
#include "game/GameEvents.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneGameScene.h"
#include "scene/XmlAttributes.h"

namespace {
const char* const kSource = "PellvanePaddleEntity";

const std::string* const kGameEvents[] = {&PELLVANE_INITIATED, &PELLVANE_BALL_LOST, &PELLVANE_NEW_LEVEL_LOADED,
                                          &PELLVANE_GAME_PAUSED};
const std::string* const kKeyEvents[] = {&KEYBOARD_KEY_PRESSED_EVENT, &KEYBOARD_KEY_RELEASED_EVENT};
const std::string* const kMouseEvents[] = {&MOUSE_MOVE_EVENT, &MOUSE_BUTTON_DOWN_EVENT, &MOUSE_BUTTON_UP_EVENT};
} // namespace

bool PaddleInputCallback::handleEvent(IEvent* event) {
    if (auto* key = dynamic_cast<KeyboardEvent*>(event))
        return paddle->handleKey(*key);
    if (auto* mouse = dynamic_cast<MouseEvent*>(event))
        return paddle->handleMouse(*mouse);
    return false;
}

bool PaddlePellvaneCallback::handleEvent(IEvent* event) {
    if (event != nullptr)
        paddle->handleGameEvent(*event);
    return false;
}

PellvanePaddleEntity::~PellvanePaddleEntity() {
    if (inputDispatcher != nullptr) {
        for (const std::string* name : kKeyEvents)
            inputDispatcher->unregisterCallback(*name, inputCallback);
        for (const std::string* name : kMouseEvents)
            inputDispatcher->unregisterCallback(*name, inputCallback);
    }
    if (gameDispatcher != nullptr) {
        for (const std::string* name : kGameEvents)
            gameDispatcher->unregisterCallback(*name, gameCallback);
    }
    delete inputCallback;
    delete gameCallback;
}

void PellvanePaddleEntity::load(const TiXmlHandle& handle, IScene* owner) {
    BoxEntity::load(handle, owner);
    startPosition = position;
    const TiXmlElement* element = handle.ToElement();
    if (element == nullptr)
        throw EntityException(kSource, "Invalid element!");
    xml::readFloat(element, "speed", speed);
    xml::readFloat(element, "spin", spin);
    xml::readFloat(element, "ball_height", ballHeight);
    xml::readBool(element, "mouse", followsMouse);

    PellvaneGameScene* game = gameSceneOf(owner, kSource);
    if (inputCallback == nullptr) {
        inputCallback = new PaddleInputCallback(this);
        inputDispatcher = Game::getInstance();
        for (const std::string* name : kKeyEvents)
            inputDispatcher->registerCallback(*name, inputCallback);
        if (followsMouse) {
            for (const std::string* name : kMouseEvents)
                inputDispatcher->registerCallback(*name, inputCallback);
        }
    }
    if (gameCallback == nullptr) {
        gameCallback = new PaddlePellvaneCallback(this);
        gameDispatcher = game;
        for (const std::string* name : kGameEvents)
            gameDispatcher->registerCallback(*name, gameCallback);
    }
}

void PellvanePaddleEntity::postUpdate(float) {}

void PellvanePaddleEntity::onCollision(CollisionResult*) {}

void PellvanePaddleEntity::reset() {
    position = startPosition;
}

void PellvanePaddleEntity::update(float dt) {
    PellvaneGameScene* game = gameSceneOf(scene, kSource);
    const Rect area = game->getGameArea();
    const float boxWidth = collider->getBounds().width;
    if (steering)
        steerTowardsPointer(dt, boxWidth, game->isInputEnabled());
    float newX = position.x + speed * dt * direction;
    if (newX < area.x) {
        newX = area.x;
        direction = 0;
    } else if (newX > area.x + area.width - boxWidth) {
        newX = area.x + area.width - boxWidth;
        direction = 0;
    }
    // The ball never holds the paddle still: a free ball the paddle moves into is moved out of it
    // by the ball itself, in this frame's second pass, before it sweeps.
    position.x = newX;
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

bool PellvanePaddleEntity::handleMouse(const MouseEvent& event) {
    const PellvaneGameScene* game = gameSceneOf(scene, kSource);
    const bool inPlay = game->isInputEnabled() && !game->isPaused();
    switch (event.action) {
    case MouseMoved:
        // Remembered even out of play, so the paddle heads for the pointer's present place once
        // steering again; only a move in play hands the paddle to the pointer.
        pointerX = static_cast<float>(event.x);
        steering = steering || inPlay;
        return inPlay;
    case MouseButtonDown:
        if (event.button != LeftButton)
            return false;
        clickArmed = inPlay;
        return inPlay;
    case MouseButtonUp: {
        if (event.button != LeftButton)
            return false;
        // Only a click begun in play counts: the release of a click that resumed a pause is not
        // a launch.
        const bool launch = clickArmed && inPlay;
        clickArmed = false;
        if (launch)
            launchOrCatch();
        return launch;
    }
    default:
        return false;
    }
}

bool PellvanePaddleEntity::handleKey(const KeyboardEvent& event) {
    const PellvaneGameScene* game = gameSceneOf(scene, kSource);
    if (!game->isInputEnabled() || game->isPaused())
        return false;
    switch (event.key) {
    case kKeySpace:
        if (!event.pressed)
            launchOrCatch();
        return true;
    case kKeyA:
    case kKeyLeft:
        if (event.pressed) {
            direction = -1.0f;
            steering = false;
        } else if (direction == -1.0f) {
            direction = 0.0f;
        }
        return true;
    case kKeyD:
    case kKeyRight:
        if (event.pressed) {
            direction = 1.0f;
            steering = false;
        } else if (direction == 1.0f) {
            direction = 0.0f;
        }
        return true;
    default:
        return false;
    }
}

void PellvanePaddleEntity::launchOrCatch() {
    if (ball == nullptr)
        return;
    if (holdingBall) {
        // A ball taken back in this frame's update is still where it was lost, below the paddle;
        // it leaves from its place on the paddle, or it would come up from beneath the game area.
        ball->rideOnPaddle();
        ball->setVelocity(ball->getStartVelocity());
        ball->release();
        holdingBall = false;
        return;
    }
    std::unique_ptr<CollisionResult> touch(collider->testCollision(ball->getCollider()));
    if (touch)
        takeBall();
}

void PellvanePaddleEntity::takeBall() {
    if (ball == nullptr)
        return;
    ball->attachTo(this, Vector2{width * 0.5f, -ballHeight});
    holdingBall = true;
}

void PellvanePaddleEntity::findBall() {
    std::vector<PellvaneBallEntity*> found;
    for (IEntity* entity : gameSceneOf(scene, kSource)->getEntities()) {
        if (auto* candidate = dynamic_cast<PellvaneBallEntity*>(entity))
            found.push_back(candidate);
    }
    if (found.empty())
        throw EntityException(kSource, "No ball found in scene!");
    if (found.size() > 1)
        throw EntityException(kSource, "More than one ball at initiation");
    ball = found.front();
}

void PellvanePaddleEntity::handleGameEvent(const IEvent& event) {
    const std::string name = event.getName();
    if (name == PELLVANE_INITIATED) {
        findBall();
        takeBall();
    } else if (name == PELLVANE_BALL_LOST) {
        takeBall();
    } else if (name == PELLVANE_NEW_LEVEL_LOADED) {
        reset();
        takeBall();
    } else if (name == PELLVANE_GAME_PAUSED) {
        // Keys let go while the window had no focus are never reported: stop rather than drift.
        direction = 0.0f;
        clickArmed = false;
    }
}
