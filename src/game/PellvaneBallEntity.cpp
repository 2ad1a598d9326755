// PellvaneBallEntity: reading the ball, its colour list, and its motion in the second pass.
#include "game/PellvaneBallEntity.h"

#include <memory>
#include <tinyxml.h>

#include "app/Exceptions.h"
#include "collision/AABBCollider.h"
#include "collision/CollisionResult.h"
#include "collision/Separation.h"
#include "collision/SweptCircle.h"
#include "collision/SweptCircleCollider.h"
#include "game/PellvaneBlockEffect.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvanePaddleEntity.h"
#include "scene/XmlAttributes.h"

namespace {
const char* const kSource = "PellvaneBallEntity";

// The effect the ball leaves when it changes colour: lifetime, end alpha, end scale.
constexpr float kColourEffectLifetime = 0.4f;
constexpr float kColourEffectEndAlpha = 0.0f;
constexpr float kColourEffectEndScale = 5.0f;
} // namespace

PellvaneBallEntity::~PellvaneBallEntity() {
    delete collider;
}

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
    readColours(element);

    delete collider;
    collider =
        new SweptCircleCollider(false, position, nextPosition, radius, Vector2{width * 0.5f, height * 0.5f}, this);
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
    return collider;
}

void PellvaneBallEntity::postUpdate(float dt) {
    if (held) {
        rideOnPaddle();
        return;
    }
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
    std::unique_ptr<CollisionResult> hit(game->testCollision(this));
    if (hit)
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

    const ICollider* other = hit.first == collider ? hit.second : hit.first;
    auto* hitPaddle = other != nullptr ? dynamic_cast<PellvanePaddleEntity*>(other->getOwner()) : nullptr;
    if (hitPaddle == nullptr)
        return;
    const float paddleVelocity = static_cast<float>(hitPaddle->direction) * hitPaddle->speed;
    if (paddleVelocity > kSpinThreshold || paddleVelocity < -kSpinThreshold)
        velocity.x += hitPaddle->spin * (paddleVelocity - velocity.x);
}

void PellvaneBallEntity::attachTo(PellvanePaddleEntity* holder, const Vector2& centreOffset) {
    paddle = holder;
    holdOffset = centreOffset - Vector2{width * 0.5f, height * 0.5f};
    held = true;
}

void PellvaneBallEntity::rideOnPaddle() {
    if (held && paddle != nullptr)
        position = paddle->position + holdOffset;
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
