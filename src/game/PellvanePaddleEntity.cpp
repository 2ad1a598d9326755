// PellvanePaddleEntity: keys, the launch and the catch, clamped movement, and the game events.
#include "game/PellvanePaddleEntity.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <tinyxml.h>
#include <vector>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "base/XmlAttributes.h"
#include "collision/CollisionResult.h"
#include "game/GameEvents.h"
#include "game/PellvaneBallEntity.h"
#include "game/PlayField.h"
#include "graphics/SpriteManager.h"
#include "rules/Flight.h"
#include "rules/HeldBalls.h"
#include "scene/BaseScene.h"
#include "scene/SceneContext.h"

namespace {
const char* const kSource = "PellvanePaddleEntity";

const std::string* const kGameEvents[] = {
    &PELLVANE_INITIATED,   &PELLVANE_BALL_LOST,         &PELLVANE_NEW_LEVEL_LOADED,
    &PELLVANE_GAME_PAUSED, &PELLVANE_NEW_LEVEL_STARTED, &PELLVANE_LEVEL_CLEARED,
    &PELLVANE_BALL_SERVED, &PELLVANE_ALL_CLEARED,       &PELLVANE_GAME_STARTED};
// A held ball this close to the centre (as a share of half the paddle) counts as at the centre.
constexpr float kHeldAtCentre = 0.01f;
// Pixels between two balls held side by side.
constexpr float kHeldGap = 2.0f;
const std::string* const kKeyEvents[] = {&KEYBOARD_KEY_PRESSED_EVENT, &KEYBOARD_KEY_RELEASED_EVENT};
const std::string* const kMouseEvents[] = {&MOUSE_MOVE_EVENT, &MOUSE_BUTTON_DOWN_EVENT, &MOUSE_BUTTON_UP_EVENT};

} // namespace

PellvanePaddleEntity::~PellvanePaddleEntity() = default;

void PellvanePaddleEntity::load(const TiXmlHandle& handle, IScene* owner) {
    BoxEntity::load(handle, owner);
    startPosition = position;
    const TiXmlElement* element = handle.ToElement();
    if (element == nullptr)
        throw EntityException(kSource, "Invalid element!");
    using namespace paddlesettings;
    float bounceDegrees = 0.0f;
    std::string wideId;
    std::string narrowId;
    std::string laserId;
    SettingReader<EntityException>(element, kSource, loadObserverOf(owner))(kSpeed, speed)(kSpin, spin)(
        kBallHeight, ballHeight)(kMouse, followsMouse)(kMouseInstant, instantMouse)(kMaxBounceAngle, bounceDegrees)(
        kCatchWindow, catchWindow)(kWideSprite, wideId)(kNarrowSprite, narrowId)(kLaserSprite, laserId);
    maxBounceAngle = bounceDegrees * kDegreesToRadians;
    loadedWidth = width;
    loadedSprite = sprite;
    wideSprite = optionalSprite(owner, wideId, kSource);
    narrowSprite = optionalSprite(owner, narrowId, kSource);
    laserSprite = optionalSprite(owner, laserId, kSource);

    EventDispatcher* events = &playFieldOf(owner, kSource).getGameEvents();
    if (!inputCallback) {
        inputCallback = std::make_unique<PaddleInputCallback>(this);
        EventDispatcher* input = contextOf(owner).input;
        for (const std::string* name : kKeyEvents)
            subscriptions.add(input, *name, inputCallback.get());
        for (const std::string* name : kMouseEvents)
            if (followsMouse)
                subscriptions.add(input, *name, inputCallback.get());
        if (playFieldOf(owner, kSource).getSettings().gamepad.on)
            for (const std::string* name : gamepad::kEventNames)
                subscriptions.add(input, *name, inputCallback.get());
    }
    if (!gameCallback) {
        gameCallback = std::make_unique<PaddlePellvaneCallback>(this);
        for (const std::string* name : kGameEvents)
            subscriptions.add(events, *name, gameCallback.get());
    }
}

void PellvanePaddleEntity::postUpdate(float) {}

void PellvanePaddleEntity::onCollision(CollisionResult*) {}

void PellvanePaddleEntity::reset() {
    // A paddle of another width starts from the same centre.
    position = startPosition + Vector2{(loadedWidth - width) * 0.5f, 0.0f};
}

void PellvanePaddleEntity::setWidthScale(float scale, int look) {
    const Rect area = playFieldOf(scene, kSource).getGameArea();
    // Never wider than the area it travels: it would have nowhere to go and be pushed back and
    // forth at its ends every frame.
    const float newWidth = std::min(loadedWidth * scale, area.width);
    widthLook = look;
    Sprite* newSprite = lookSprite();
    if (newWidth == width && newSprite == sprite)
        return;
    const float centre = position.x + width * 0.5f;
    const float heldAt = holdingBall && ball != nullptr ? ball->getCentre().x - position.x : -1.0f;
    const float oldWidth = width;
    sprite = newSprite;
    width = newWidth;
    sizeSet = true;
    collider->setSize(width, height);
    position.x = std::clamp(centre - width * 0.5f, area.x, std::max(area.x, area.x + area.width - width));
    // A held ball keeps its place relative to the centre, within the new ends; so do the extra
    // balls a sticky paddle holds, or a narrower paddle would leave them hanging past its ends.
    const auto keptAt = [&](float at) { return std::clamp(centre - position.x + at - oldWidth * 0.5f, 0.0f, width); };
    for (PellvaneBallEntity* extra : heldExtras)
        extra->attachTo(this, Vector2{keptAt(extra->getHeldAt()), -ballHeight});
    if (heldAt >= 0.0f)
        takeBall(keptAt(heldAt));
    spreadHeldBalls();
}

std::vector<PellvaneBallEntity*> PellvanePaddleEntity::heldBalls() const {
    std::vector<PellvaneBallEntity*> balls = heldExtras;
    if (holdingBall && ball != nullptr)
        balls.push_back(ball);
    return balls;
}

float PellvanePaddleEntity::placeFor(const PellvaneBallEntity& which, float wanted) const {
    std::vector<float> taken;
    for (const PellvaneBallEntity* other : heldBalls())
        if (other != &which)
            taken.push_back(other->getHeldAt());
    const float half = which.getSize().x * 0.5f;
    return held::freePlace(wanted, taken, half, width - half, which.getSize().x + kHeldGap);
}

void PellvanePaddleEntity::spreadHeldBalls() {
    std::vector<PellvaneBallEntity*> balls = heldBalls();
    if (balls.size() < 2)
        return;
    std::sort(balls.begin(), balls.end(),
              [](const PellvaneBallEntity* a, const PellvaneBallEntity* b) { return a->getHeldAt() < b->getHeldAt(); });
    std::vector<float> places;
    for (const PellvaneBallEntity* each : balls)
        places.push_back(each->getHeldAt());
    const float size = balls.front()->getSize().x;
    held::spreadApart(places, size * 0.5f, width - size * 0.5f, size + kHeldGap);
    for (std::size_t i = 0; i < balls.size(); ++i)
        balls[i]->attachTo(this, Vector2{places[i], -ballHeight});
}

Sprite* PellvanePaddleEntity::lookSprite() const {
    // The gun look is one picture, stretched to a wide or narrow paddle's width.
    if (guns && laserSprite != nullptr)
        return laserSprite;
    return widthLook > 0 && wideSprite != nullptr     ? wideSprite
           : widthLook < 0 && narrowSprite != nullptr ? narrowSprite
                                                      : loadedSprite;
}

void PellvanePaddleEntity::setGuns(bool on) {
    guns = on;
    sprite = lookSprite();
    sizeSet = true; // drawn over its box, whatever the picture's own size
}

void PellvanePaddleEntity::forgetBall(const IEntity* which) {
    heldExtras.erase(std::remove(heldExtras.begin(), heldExtras.end(), which), heldExtras.end());
}

void PellvanePaddleEntity::holdExtra(PellvaneBallEntity& extra) {
    if (std::find(heldExtras.begin(), heldExtras.end(), &extra) != heldExtras.end())
        return;
    // Beside the balls already held, as near where it landed as there is room.
    const float at = placeFor(extra, std::clamp(extra.getCentre().x - position.x, 0.0f, width));
    extra.attachTo(this, Vector2{at, -ballHeight});
    heldExtras.push_back(&extra);
}

void PellvanePaddleEntity::handOver(PellvaneBallEntity& extra) {
    if (ball == nullptr)
        return;
    if (extra.isHeld()) {
        forgetBall(&extra);
        takeBall(extra.getCentre().x - position.x);
    } else {
        holdingBall = false;
    }
}

void PellvanePaddleEntity::update(float dt) {
    const IPlayField& field = playFieldOf(scene, kSource);
    const bool inputEnabled = field.getMatch().isInputEnabled();
    const Rect area = field.getGameArea();
    const float boxWidth = collider->getBounds().width;
    sinceBounce += dt;
    catchRequest -= dt;
    measuredVelocity = 0.0f;
    // A paddle as wide as the area (or wider) stays at its left edge.
    const float right = std::max(area.x, area.x + area.width - boxWidth);
    if (steering && instantMouse) {
        direction = 0.0f;
        if (!inputEnabled)
            return;
        const float newX = std::clamp(pointerX - boxWidth * 0.5f, area.x, right);
        if (dt > 0.0f)
            measuredVelocity = std::clamp((newX - position.x) / dt, -speed, speed);
        position.x = newX;
        return;
    }
    if (steering)
        steerTowardsPointer(dt, boxWidth, inputEnabled);
    float newX = position.x + speed * dt * direction;
    if (newX < area.x) {
        newX = area.x;
        direction = 0;
    } else if (newX > right) {
        newX = right;
        direction = 0;
    }
    // The ball never holds the paddle still: a free ball the paddle moves into is moved out of it
    // by the ball itself, in this frame's second pass, before it sweeps.
    position.x = newX;
}

float PellvanePaddleEntity::getVelocity() const {
    return steering && instantMouse ? measuredVelocity : direction * speed;
}

float PellvanePaddleEntity::offsetAlong(float x) const {
    return flight::offsetAlong(x, position.x, collider->getBounds().width);
}

BallBounce PellvanePaddleEntity::ballMet(const BallContact& contact) {
    BallBounce answer{BallBounce::Paddle};
    const float ballSpeed = length(contact.velocity);
    if (maxBounceAngle > 0.0f && contact.normal.y < 0.0f) {
        // Where the ball's centre met the paddle, from -1 at the left end to +1 at the right: the
        // further out, the flatter the return, as the player expects of a rounded paddle.
        answer.velocity =
            flight::aimedVelocity(offsetAlong(contact.centre.x), getVelocity(), ballSpeed, maxBounceAngle, spin);
        answer.aimed = true;
    } else {
        answer.velocity = flight::withSpin(contact.velocity, spin, getVelocity());
    }
    IPlayField& field = playFieldOf(scene, kSource);
    field.paddleTouched();
    // Where the ball touched the paddle: its centre less its radius along the normal.
    const float radius = contact.ball != nullptr ? contact.ball->radius : 0.0f;
    field.raiseAt(PELLVANE_PADDLE_BOUNCE, contact.centre - radius * contact.normal);
    ballBounced(contact.ball);
    return answer;
}

void PellvanePaddleEntity::launchOrCatch() {
    // Before its level starts nothing is sent into it (a capsule that fell then would be used up
    // for nothing); a ball already lost is out of reach, whatever the catch window says.
    if (ball == nullptr || ball->isParked() || playFieldOf(scene, kSource).getMatch().getState() != Playing)
        return;
    if (holdingBall || !heldExtras.empty()) {
        launch();
        return;
    }
    const bool touch = collider->testCollision(ball->getCollider()).has_value();
    if (touch || (catchWindow > 0.0f && sinceBounce <= catchWindow)) {
        catchBall();
        return;
    }
    // Pressed a moment before the ball arrives: it is caught at its bounce.
    if (catchWindow > 0.0f)
        catchRequest = catchWindow;
}

Vector2 PellvanePaddleEntity::launchVelocity(PellvaneBallEntity& held) const {
    Vector2 velocity = held.getStartVelocity();
    if (maxBounceAngle > 0.0f) {
        // Aimed: from where the ball sits on the paddle and the way the paddle moves. A ball held
        // still at the centre leaves as the data says.
        const float offset = offsetAlong(held.getCentre().x);
        const float motion = getVelocity();
        if (std::fabs(offset) > kHeldAtCentre || std::fabs(motion) > flight::kSpinThreshold)
            velocity = flight::aimedVelocity(offset, motion, length(velocity), maxBounceAngle, spin);
    }
    return velocity;
}

void PellvanePaddleEntity::launch() {
    // Every ball the paddle holds leaves together.
    std::vector<PellvaneBallEntity*> leaving = heldExtras;
    heldExtras.clear();
    if (holdingBall)
        leaving.insert(leaving.begin(), ball);
    for (PellvaneBallEntity* held : leaving) {
        // A ball taken back in this frame's update is still where it was lost, below the paddle;
        // it leaves from its place on the paddle, or it would come up from beneath the game area.
        held->rideOnPaddle();
        held->setVelocity(launchVelocity(*held));
        held->release();
        if (maxBounceAngle > 0.0f)
            held->limitAngle();
    }
    holdingBall = false;
    catchRequest = 0.0f;
    IPlayField& field = playFieldOf(scene, kSource);
    field.paddleTouched();
    field.raise(PELLVANE_BALL_LAUNCHED);
}

void PellvanePaddleEntity::catchBall() {
    catchRequest = 0.0f;
    if (catchWindow > 0.0f) {
        // Held where it met the paddle, so the next launch can be aimed from there.
        const float radius = ball->radius;
        const float boxWidth = collider->getBounds().width;
        const float at = ball->getCentre().x - position.x;
        takeBall(std::clamp(at, std::min(radius, boxWidth * 0.5f), std::max(boxWidth - radius, boxWidth * 0.5f)));
    } else {
        takeBall();
    }
    playFieldOf(scene, kSource).raise(PELLVANE_BALL_CAUGHT);
    announceReady();
}

void PellvanePaddleEntity::ballBounced(PellvaneBallEntity* which) {
    if (which != nullptr && which != ball) {
        if (sticky)
            holdExtra(*which);
        return;
    }
    sinceBounce = 0.0f;
    if ((catchRequest > 0.0f || sticky) && ball != nullptr && !holdingBall)
        catchBall();
}

void PellvanePaddleEntity::announceReady() {
    IPlayField& field = playFieldOf(scene, kSource);
    if (holdingBall && field.getMatch().isInputEnabled() && field.getMatch().getState() == Playing)
        field.raise(PELLVANE_BALL_READY);
}

void PellvanePaddleEntity::takeBall(float centreX) {
    if (ball == nullptr)
        return;
    const float wanted = centreX >= 0.0f ? centreX : width * 0.5f;
    ball->attachTo(this, Vector2{heldExtras.empty() ? wanted : placeFor(*ball, wanted), -ballHeight});
    holdingBall = true;
    catchRequest = 0.0f;
}

void PellvanePaddleEntity::findBall() {
    std::vector<PellvaneBallEntity*> found;
    for (IEntity* entity : scene->getEntities()) {
        if (auto* candidate = dynamic_cast<PellvaneBallEntity*>(entity))
            found.push_back(candidate);
    }
    if (found.empty())
        throw EntityException(kSource, "No ball found in scene!");
    if (found.size() > 1)
        throw EntityException(kSource, "More than one ball at initiation");
    ball = found.front();
}
