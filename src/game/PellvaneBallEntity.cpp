// PellvaneBallEntity: reading the ball, its colour list, and its motion in the second pass.
#include "game/PellvaneBallEntity.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "collision/AABBCollider.h"
#include "collision/CollisionResult.h"
#include "collision/Geometry.h"
#include "collision/Separation.h"
#include "collision/SweptCircle.h"
#include "collision/SweptCircleCollider.h"
#include "game/GameEvents.h"
#include "game/GameSettings.h"
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
    using namespace ballsettings;
    radius = width * 0.5f;
    float minAngleDegrees = 0.0f;
    SettingReader<EntityException> read(element, kSource, loadObserverOf(owner));
    read(kRadius, radius)(kRestitution, restitution)(kMinSpeed, minSpeed)(kMaxSpeed, maxSpeed);
    read(kStartVelocityX, startVelocity.x)(kStartVelocityY, startVelocity.y)(kMinAngle, minAngleDegrees);
    read(kSpeedUp, speedUp)(kStallTime, stallTime);
    if (minSpeed > maxSpeed) {
        read.fail(kMinSpeed, "min_speed " + formatNumber(minSpeed) + " is above max_speed " + formatNumber(maxSpeed) +
                                 "!");
        minSpeed = maxSpeed;
    }
    minAngle = minAngleDegrees * kDegreesToRadians;
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
        colours.push_back(readChannels<EntityException>(child, kSource, loadObserverOf(scene)));
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
    const float lowest = minSpeed * speedScale;
    const float highest = maxSpeed * speedScale;
    if (squaredSpeed < lowest * lowest) {
        normalise(velocity);
        velocity = velocity * lowest;
    } else if (squaredSpeed > highest * highest) {
        normalise(velocity);
        velocity = velocity * highest;
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
        game->ballLost(*this);
}

void PellvaneBallEntity::setSpeedScale(float scale) {
    if (!(scale > 0.0f) || scale == speedScale)
        return;
    velocity = velocity * (scale / speedScale);
    speedScale = scale;
}

std::unique_ptr<PellvaneBallEntity> PellvaneBallEntity::makeTwin(const Vector2& newVelocity) const {
    auto twin = std::make_unique<PellvaneBallEntity>();
    twin->enabled = twin->initialEnabled = true;
    twin->visible = twin->initialVisible = true;
    twin->position = position;
    twin->scale = scale;
    twin->rotation = rotation;
    twin->width = width;
    twin->height = height;
    twin->sizeSet = sizeSet;
    twin->offset = offset;
    twin->layer = layer;
    twin->sprite = sprite;
    twin->colour = colour;
    twin->frame = frame;
    twin->radius = radius;
    twin->minSpeed = minSpeed;
    twin->maxSpeed = maxSpeed;
    twin->restitution = restitution;
    twin->startVelocity = startVelocity;
    twin->minAngle = minAngle;
    twin->speedUp = speedUp;
    twin->stallTime = stallTime;
    twin->speedScale = speedScale;
    twin->colours = colours;
    twin->colourIndex = colourIndex;
    twin->collider.emplace(false, twin->position, twin->nextPosition, radius, Vector2{width * 0.5f, height * 0.5f},
                           twin.get());
    twin->velocity = newVelocity;
    twin->nextPosition = position;
    return twin;
}

void PellvaneBallEntity::takeOver(const PellvaneBallEntity& other) {
    position = other.position;
    nextPosition = other.nextPosition;
    velocity = other.velocity;
    speedScale = other.speedScale;
    sinceBlockHit = other.sinceBlockHit;
    stallTurns = other.stallTurns;
    colour = other.colour;
    colourIndex = other.colourIndex;
    parked = false;
    visible = true;
    if (!other.held)
        release();
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
        hitPaddle->ballBounced(this);
        return;
    }
    if (auto* block = dynamic_cast<PellvaneBlockEntity*>(owner)) {
        // Metal rings but is no progress: a ball looping between unbreakable blocks still turns.
        if (block->isUnbreakable()) {
            limitAngle();
            return;
        }
        sinceBlockHit = 0.0f;
        stallTurns = 0;
        const float speed = length(velocity);
        if (speedUp > 0.0f && speed > 0.0f)
            velocity = velocity * (std::min(speed + speedUp, std::max(speed, maxSpeed * speedScale)) / speed);
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
    PellvaneGameScene* game = gameSceneOf(scene, kSource);
    // The nearest standing block the ball can reach in a straight line or off one wall of the
    // game area: one behind metal is no aim, the turn would only send the ball into the metal
    // again. A path off a wall aims at the block's mirror image in that wall, the way light finds
    // a mirror. Without any path, the nearest block of all.
    std::vector<Rect> metal;
    const std::vector<IEntity*>& entities = game->getEntities();
    for (IEntity* entity : entities) {
        auto* block = dynamic_cast<PellvaneBlockEntity*>(entity);
        if (block != nullptr && block->isUnbreakable() && block->isActive())
            metal.push_back(Rect{block->getPosition().x, block->getPosition().y, block->getSize().x, block->getSize().y});
    }
    auto clear = [&](const Vector2& from, const Vector2& to) {
        const Edge path{from, to, Vector2{}};
        Vector2 point;
        Edge side;
        for (const Rect& box : metal)
            if (segmentIntersectsRect(box, path, point, side))
                return false;
        return true;
    };
    const Rect area = game->getGameArea();
    const float left = area.x + radius;
    const float right = area.x + area.width - radius;
    const float top = area.y + radius;
    float nearest = -1.0f;
    Vector2 target;
    bool targetInSight = false;
    for (IEntity* entity : entities) {
        auto* block = dynamic_cast<PellvaneBlockEntity*>(entity);
        if (block == nullptr || !block->holdsLevelOpen())
            continue;
        const Vector2 goal = block->getCentre();
        // The aim point (the goal or its mirror image) and where the path meets the wall.
        const Vector2 images[] = {goal, {2.0f * left - goal.x, goal.y}, {2.0f * right - goal.x, goal.y},
                                  {goal.x, 2.0f * top - goal.y}};
        for (std::size_t i = 0; i < (metal.empty() ? 1u : 4u); ++i) {
            const Vector2& aim = images[i];
            const Vector2 toAim = aim - centre;
            const float distance = length(toAim);
            bool seen = metal.empty();
            if (!seen && i == 0) {
                seen = clear(centre, goal);
            } else if (!seen) {
                // Where the straight line to the image crosses the wall's line.
                const float t = i == 3 ? (top - centre.y) / (toAim.y != 0.0f ? toAim.y : -1e-6f)
                                       : ((i == 1 ? left : right) - centre.x) / (toAim.x != 0.0f ? toAim.x : 1e-6f);
                if (t > 0.0f && t < 1.0f) {
                    const Vector2 bounce = centre + t * toAim;
                    seen = clear(centre, bounce) && clear(bounce, goal);
                }
            }
            if (i > 0 && !seen)
                continue;
            if (nearest < 0.0f || (seen && !targetInSight) || (seen == targetInSight && distance < nearest)) {
                nearest = distance;
                target = toAim;
                targetInSight = seen;
            }
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
        scene->addEntity(std::make_unique<PellvaneBlockEffect>(getSpriteProperties(), kColourEffectLifetime,
                                                               kColourEffectEndAlpha, kColourEffectEndScale,
                                                               kColourEffectEndScale));
    }
    if (colours.empty())
        return;
    colourIndex = static_cast<unsigned>((colourIndex + 1u) % colours.size());
    colour = colours[colourIndex];
}
