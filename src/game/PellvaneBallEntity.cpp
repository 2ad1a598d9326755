// PellvaneBallEntity: reading the ball, its colour list, and its motion in the second pass.
#include "game/PellvaneBallEntity.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "base/XmlAttributes.h"
#include "collision/AABBCollider.h"
#include "collision/CollisionResult.h"
#include "collision/Geometry.h"
#include "collision/Separation.h"
#include "collision/SweptCircle.h"
#include "collision/SweptCircleCollider.h"
#include "game/BallSurface.h"
#include "game/GameEvents.h"
#include "game/GameSettings.h"
#include "game/PellvaneBlockEffect.h"
#include "game/PlayField.h"
#include "graphics/Sprite.h"
#include "rules/Flight.h"
#include "scene/BaseScene.h"
#include "scene/SceneContext.h"

namespace {
const char* const kSource = "PellvaneBallEntity";

// The effect the ball leaves when it changes colour: lifetime, end alpha, end scale.
constexpr float kColourEffectLifetime = 0.4f;
constexpr float kColourEffectEndAlpha = 0.0f;
constexpr float kColourEffectEndScale = 5.0f;
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
    read(kSpeedUp, speedUp)(kStallTime, stallTime)(kStallAim, stallAim)(kChainColours, chainColours);
    std::string ringId;
    read(kRingSprite, ringId);
    ringSprite = optionalSprite(owner, ringId, kSource);
    if (minSpeed > maxSpeed) {
        read.fail(kMinSpeed,
                  "min_speed " + formatNumber(minSpeed) + " is above max_speed " + formatNumber(maxSpeed) + "!");
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
    if (chainColours)
        showChain(playFieldOf(scene, kSource).getMatch().getMultiplier());
    if (held) {
        rideOnPaddle();
        return;
    }
    if (parked)
        return;
    sinceBlockHit += dt;
    if (stallTime > 0.0f && sinceBlockHit >= stallTime * static_cast<float>(stallTurns + 1))
        turnAfterStall();
    velocity = flight::withinSpeeds(velocity, minSpeed * speedScale, maxSpeed * speedScale);
    moveOutOfBoxes(*scene);
    nextPosition = position + dt * velocity;

    // One query per frame: the nearest hit decides the bounce and the rest of the move is dropped.
    if (const std::optional<CollisionResult> hit = scene->testCollision(this))
        bounce(*hit);
    position = nextPosition;
    // The block just hit may have raised the multiplier: the ring leaves from where it was hit.
    if (chainColours)
        showChain(playFieldOf(scene, kSource).getMatch().getMultiplier());

    IPlayField& field = playFieldOf(scene, kSource);
    const Rect area = field.getGameArea();
    if (position.y > area.y + area.height)
        field.ballLost(*this);
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
    twin->stallAim = stallAim;
    twin->speedScale = speedScale;
    twin->colours = colours;
    twin->colourIndex = colourIndex;
    twin->chainColours = chainColours;
    twin->ringSprite = ringSprite;
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

void PellvaneBallEntity::moveOutOfBoxes(const IScene& owner) {
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
    nextPosition = position + flight::kBounceStopFraction * (hit.point - position);
    velocity = flight::reflected(velocity, hit.normal, restitution);

    // What it met says how it leaves; anything that says nothing is a wall.
    const ICollider* other = hit.first == getCollider() ? hit.second : hit.first;
    auto* surface = dynamic_cast<IBallSurface*>(other != nullptr ? other->getOwner() : nullptr);
    const BallContact contact{this, hit.point + Vector2{width * 0.5f, height * 0.5f}, hit.normal, velocity};
    const BallBounce answer = surface != nullptr ? surface->ballMet(contact) : BallBounce{};
    aimedSteep = false;
    if (answer.velocity)
        velocity = *answer.velocity;
    if (answer.cycleColour && !chainColours)
        cycleColour();
    switch (answer.kind) {
    case BallBounce::Paddle:
        // A player who returns the ball the same way each time would undo every turn after a long
        // flight; the turns go on bending the returns until a block is hit.
        if (answer.aimed && stallTurns > 0) {
            velocity = flight::turnedTowardsBlock(velocity, position + Vector2{width * 0.5f, height * 0.5f}, radius,
                                                  flight::stallAllowance(stallTurns, stallAim),
                                                  playFieldOf(scene, kSource).getStallField(), stallAim);
            aimedSteep = stallAim;
        }
        break;
    case BallBounce::Block: {
        sinceBlockHit = 0.0f;
        stallTurns = 0;
        velocity = flight::spedUp(velocity, speedUp, maxSpeed * speedScale);
        break;
    }
    case BallBounce::Metal:
        // Metal rings but is no progress: a ball looping between unbreakable blocks still turns.
        break;
    case BallBounce::Wall:
        playFieldOf(scene, kSource).raiseAt(PELLVANE_WALL_BOUNCE, contact.centre - radius * contact.normal);
        break;
    }
    limitAngle();
}

void PellvaneBallEntity::turnAfterStall() {
    // A ball caught in a loop that misses every block: turn it a little towards the nearest block
    // still standing, a little more for each stretch in a row, until it hits one. No randomness:
    // runs stay reproducible.
    ++stallTurns;
    velocity = flight::turnedTowardsBlock(velocity, position + Vector2{width * 0.5f, height * 0.5f}, radius,
                                          flight::stallAllowance(stallTurns, false),
                                          playFieldOf(scene, kSource).getStallField(), stallAim);
    aimedSteep = stallAim;
    limitAngle();
}

void PellvaneBallEntity::limitAngle() {
    velocity = flight::limitAngle(velocity, minAngle, aimedSteep);
}

void PellvaneBallEntity::park() {
    parked = true;
    visible = false;
}

void PellvaneBallEntity::attachTo(IEntity* newHolder, const Vector2& centreOffset) {
    if (parked) {
        parked = false;
        visible = true;
    }
    sinceBlockHit = 0.0f;
    stallTurns = 0;
    aimedSteep = false;
    holder = newHolder;
    holdOffset = centreOffset - Vector2{width * 0.5f, height * 0.5f};
    held = true;
}

void PellvaneBallEntity::rideOnPaddle() {
    if (held && holder != nullptr)
        position = holder->getPosition() + holdOffset;
}

void PellvaneBallEntity::release() {
    holder = nullptr;
    held = false;
}

void PellvaneBallEntity::cycleColour() {
    leaveRing(colour); // in the colour from before the change
    if (colours.empty())
        return;
    colourIndex = static_cast<unsigned>((colourIndex + 1u) % colours.size());
    colour = colours[colourIndex];
}

void PellvaneBallEntity::showChain(int multiplier) {
    if (colours.empty())
        return;
    const auto index =
        static_cast<unsigned>(std::clamp<long>(multiplier - 1L, 0L, static_cast<long>(colours.size()) - 1L));
    if (index == colourIndex)
        return;
    const bool rise = index > colourIndex;
    colourIndex = index;
    colour = colours[colourIndex];
    if (rise)
        leaveRing(colour);
}

void PellvaneBallEntity::leaveRing(const Colour& tint) {
    if (scene == nullptr)
        return;
    SpriteProperties look = getSpriteProperties();
    look.colour = tint;
    if (ringSprite != nullptr && ringSprite->getFrameCount() > 0) {
        // The ring is drawn at its own size at the end of the effect and smaller before: never
        // blown up past the pixels it has.
        TextureRegion& frame = ringSprite->getFrame(0);
        const Vector2 size{static_cast<float>(frame.getWidth()), static_cast<float>(frame.getHeight())};
        const Vector2 start{width * scale.x / size.x, height * scale.y / size.y};
        look.sprite = ringSprite;
        look.frame = 0;
        look.width = size.x;
        look.height = size.y;
        look.scale = start;
        look.rotation = 0.0f;
        look.position = getCentre() - Vector2{size.x * start.x * 0.5f, size.y * start.y * 0.5f};
        scene->addEntity(std::make_unique<PellvaneBlockEffect>(look, kColourEffectLifetime, kColourEffectEndAlpha,
                                                               start.x * kColourEffectEndScale,
                                                               start.y * kColourEffectEndScale));
        return;
    }
    scene->addEntity(std::make_unique<PellvaneBlockEffect>(look, kColourEffectLifetime, kColourEffectEndAlpha,
                                                           kColourEffectEndScale, kColourEffectEndScale));
}
