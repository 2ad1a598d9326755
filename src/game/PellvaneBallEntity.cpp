// PellvaneBallEntity: reading the ball, its colour list, and its motion in the second pass.
#include "game/PellvaneBallEntity.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "collision/AABBCollider.h"
#include "collision/CollisionResult.h"
#include "collision/Separation.h"
#include "collision/SweptCircle.h"
#include "collision/SweptCircleCollider.h"
#include "game/GameEvents.h"
#include "game/PellvaneBlockEffect.h"
#include "game/PellvaneBlockEntity.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvanePaddleEntity.h"
#include "base/XmlAttributes.h"

namespace {
const char* const kSource = "PellvaneBallEntity";

// The effect the ball leaves when it changes colour: lifetime, end alpha, end scale.
constexpr float kColourEffectLifetime = 0.4f;
constexpr float kColourEffectEndAlpha = 0.0f;
constexpr float kColourEffectEndScale = 5.0f;

// `v` turned by `angle` radians (clockwise on screen, where y points down).
Vector2 rotated(const Vector2& v, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {v.x * c - v.y * s, v.x * s + v.y * c};
}
} // namespace

void PellvaneBallEntity::load(const TiXmlHandle& handle, IScene* owner) {
    SpriteEntity::load(handle, owner);
    const TiXmlElement* element = handle.ToElement();
    if (element == nullptr)
        throw EntityException(kSource, "Invalid element!");
    radius = width * 0.5f;
    xml::readFloat(element, "radius", radius);
    xml::readFloat(element, "restitution", restitution);
    xml::readFloat(element, "min_speed", minSpeed);
    xml::readFloat(element, "max_speed", maxSpeed);
    xml::readFloat(element, "start_velocity_x", startVelocity.x);
    xml::readFloat(element, "start_velocity_y", startVelocity.y);
    float minAngleDegrees = 0.0f;
    xml::readFloat(element, "min_angle", minAngleDegrees);
    // Beyond 45 degrees no direction is far enough from both axes: the limit would be no limit.
    minAngle = std::clamp(minAngleDegrees, 0.0f, 45.0f) * kDegreesToRadians;
    xml::readFloat(element, "speed_up", speedUp);
    xml::readFloat(element, "stall_time", stallTime);
    readColours(element);

    collider.emplace(false, position, nextPosition, radius, Vector2{width * 0.5f, height * 0.5f}, this);
    velocity = startVelocity;
}

void PellvaneBallEntity::readColours(const TiXmlElement* element) {
    colours.clear();
    const char* attribute = element->Attribute("colour");
    if (attribute != nullptr && *attribute != '\0')
        colours.push_back(colour); // the tint the sprite entity parsed from it
    for (const TiXmlElement* child = element->FirstChildElement("colour"); child != nullptr;
         child = child->NextSiblingElement("colour")) {
        const char* hex = child->Attribute("hex");
        if (hex != nullptr && *hex != '\0') {
            colours.push_back(parseColour(hex));
            continue;
        }
        Colour channels; // every channel defaults to 1.0
        xml::readFloat(child, "r", channels.red);
        xml::readFloat(child, "g", channels.green);
        xml::readFloat(child, "b", channels.blue);
        xml::readFloat(child, "a", channels.alpha);
        colours.push_back(channels);
    }
    colourIndex = 0;
    if (!colours.empty())
        colour = colours.front();
}

void PellvaneBallEntity::update(float) {}

void PellvaneBallEntity::onCollision(CollisionResult*) {}

ICollider* PellvaneBallEntity::getCollider() {
    return collider ? &*collider : nullptr;
}

void PellvaneBallEntity::postUpdate(float dt) {
    if (held) {
        rideOnPaddle();
        return;
    }
    if (parked)
        return;
    sinceBlockHit += dt;
    if (stallTime > 0.0f && sinceBlockHit >= stallTime * static_cast<float>(stallTurns + 1))
        turnAfterStall();
    const float squaredSpeed = dot(velocity, velocity);
    if (squaredSpeed < minSpeed * minSpeed) {
        normalise(velocity);
        velocity = velocity * minSpeed;
    } else if (squaredSpeed > maxSpeed * maxSpeed) {
        normalise(velocity);
        velocity = velocity * maxSpeed;
    }
    PellvaneGameScene* game = gameSceneOf(scene, kSource);
    moveOutOfBoxes(*game);
    nextPosition = position + dt * velocity;

    // One query per frame: the nearest hit decides the bounce and the rest of the move is dropped.
    if (const std::optional<CollisionResult> hit = game->testCollision(this))
        bounce(*hit);
    position = nextPosition;

    const Rect area = game->getGameArea();
    if (position.y > area.y + area.height)
        game->ballLost();
}

void PellvaneBallEntity::moveOutOfBoxes(const BaseScene& owner) {
    const Vector2 half{width * 0.5f, height * 0.5f};
    const Vector2 centre = position + half;
    // Almost every frame ends at the first pass: nothing overlaps.
    auto boxOf = [this](IEntity* other, Rect& bounds) {
        if (other == this || !other->isActive())
            return false;
        const ICollider* box = other->getCollider();
        if (box == nullptr || box->getType() != kAABBColliderType)
            return false;
        bounds = static_cast<const AABBCollider*>(box)->getBounds();
        return true;
    };
    bool overlapping = false;
    Rect bounds;
    for (IEntity* other : owner.getEntities()) {
        if (boxOf(other, bounds) && circleRectPenetration(centre, radius, bounds) > kContactSlop) {
            overlapping = true;
            break;
        }
    }
    if (!overlapping)
        return;
    boxes.clear();
    for (IEntity* other : owner.getEntities()) {
        if (boxOf(other, bounds))
            boxes.push_back(bounds);
    }
    position = separateCircleFromRects(centre, radius, boxes) - half;
}

void PellvaneBallEntity::bounce(const CollisionResult& hit) {
    // Only a surface the ball moves into turns it; the sweep reports no other, but a ball that did
    // not move at all gets the nearest point with no normal and must not be drawn into the box.
    if (dot(velocity, hit.normal) >= 0.0f)
        return;
    nextPosition = position + kBounceStopFraction * (hit.point - position);
    const Vector2 n = hit.normal;
    velocity = restitution * (velocity - 2.0f * dot(velocity, n) * n);

    const ICollider* other = hit.first == getCollider() ? hit.second : hit.first;
    IEntity* owner = other != nullptr ? other->getOwner() : nullptr;
    PellvaneGameScene* game = gameSceneOf(scene, kSource);
    if (auto* hitPaddle = dynamic_cast<PellvanePaddleEntity*>(owner)) {
        if (hitPaddle->maxBounceAngle > 0.0f && n.y < 0.0f) {
            aimFromPaddle(hit, *hitPaddle);
        } else {
            const float paddleVelocity = hitPaddle->getVelocity();
            if (paddleVelocity > kSpinThreshold || paddleVelocity < -kSpinThreshold)
                velocity.x += hitPaddle->spin * (paddleVelocity - velocity.x);
        }
        limitAngle();
        game->raise(PELLVANE_PADDLE_BOUNCE);
        hitPaddle->ballBounced();
        return;
    }
    if (dynamic_cast<PellvaneBlockEntity*>(owner) != nullptr) {
        sinceBlockHit = 0.0f;
        stallTurns = 0;
        const float speed = length(velocity);
        if (speedUp > 0.0f && speed > 0.0f)
            velocity = velocity * (std::min(speed + speedUp, std::max(speed, maxSpeed)) / speed);
    } else {
        game->raise(PELLVANE_WALL_BOUNCE);
    }
    limitAngle();
}

void PellvaneBallEntity::aimFromPaddle(const CollisionResult& hit, const PellvanePaddleEntity& from) {
    // Where the ball's centre met the paddle, from -1 at the left end to +1 at the right: the
    // further out, the flatter the return, as the player expects of a rounded paddle.
    const float contactX = hit.point.x + width * 0.5f;
    const float offset = from.offsetAlong(contactX);
    velocity = from.aimedVelocity(offset, from.getVelocity(), length(velocity));
    // A player who returns the ball the same way each time would undo every turn after a long
    // flight; the turns go on bending the returns until a block is hit.
    if (stallTurns > 0)
        velocity = turnedTowardsBlock(velocity);
}

void PellvaneBallEntity::turnAfterStall() {
    // A ball caught in a loop that misses every block: turn it a little towards the nearest block
    // still standing, a little more for each stretch in a row, until it hits one. No randomness:
    // runs stay reproducible.
    ++stallTurns;
    velocity = turnedTowardsBlock(velocity);
    limitAngle();
}

Vector2 PellvaneBallEntity::turnedTowardsBlock(const Vector2& v) const {
    const Vector2 centre = position + Vector2{width * 0.5f, height * 0.5f};
    float nearest = -1.0f;
    Vector2 target;
    for (IEntity* entity : gameSceneOf(scene, kSource)->getEntities()) {
        auto* block = dynamic_cast<PellvaneBlockEntity*>(entity);
        if (block == nullptr || !block->isActive())
            continue;
        const Vector2 toBlock = block->getCentre() - centre;
        const float distance = length(toBlock);
        if (nearest < 0.0f || distance < nearest) {
            nearest = distance;
            target = toBlock;
        }
    }
    if (!(nearest > 0.0f))
        return v;
    // The signed angle from v to the target, and a turn of at most the allowance towards it.
    const float angle = std::atan2(v.x * target.y - v.y * target.x, dot(v, target));
    const float allowance = static_cast<float>(std::min(stallTurns, kMaxStallTurns)) * kStallDeflectionDegrees * kDegreesToRadians;
    return rotated(v, std::clamp(angle, -allowance, allowance));
}

void PellvaneBallEntity::limitAngle() {
    if (!(minAngle > 0.0f))
        return;
    const float speed = length(velocity);
    if (!(speed > 0.0f))
        return;
    // The angle from the vertical, kept within [minAngle, 90 degrees - minAngle] with the signs
    // of both components as they were (a component of 0 counts as positive).
    const float fromVertical =
        std::clamp(std::atan2(std::fabs(velocity.x), std::fabs(velocity.y)), minAngle, kQuarterTurn - minAngle);
    velocity = {std::copysign(speed * std::sin(fromVertical), velocity.x),
                std::copysign(speed * std::cos(fromVertical), velocity.y)};
}

void PellvaneBallEntity::park() {
    parked = true;
    visible = false;
}

void PellvaneBallEntity::attachTo(PellvanePaddleEntity* holder, const Vector2& centreOffset) {
    if (parked) {
        parked = false;
        visible = true;
    }
    sinceBlockHit = 0.0f;
    stallTurns = 0;
    paddle = holder;
    holdOffset = centreOffset - Vector2{width * 0.5f, height * 0.5f};
    held = true;
}

void PellvaneBallEntity::rideOnPaddle() {
    if (held && paddle != nullptr)
        position = paddle->getPosition() + holdOffset;
}

void PellvaneBallEntity::release() {
    paddle = nullptr;
    held = false;
}

void PellvaneBallEntity::cycleColour() {
    if (scene != nullptr) {
        scene->addEntity(new PellvaneBlockEffect(getSpriteProperties(), kColourEffectLifetime, kColourEffectEndAlpha,
                                                 kColourEffectEndScale, kColourEffectEndScale));
    }
    if (colours.empty())
        return;
    colourIndex = static_cast<unsigned>((colourIndex + 1u) % colours.size());
    colour = colours[colourIndex];
}
