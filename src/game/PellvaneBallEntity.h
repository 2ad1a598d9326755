// The ball: rides on the paddle until launched, then flies within speed limits, bounces off the
// nearest collider in its path with restitution and paddle spin, and reports itself lost.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "collision/SweptCircleCollider.h"

#include "base/Colour.h"
#include "base/Setting.h"
#include "collision/Rect.h"
#include "collision/Vector2.h"
#include "scene/SpriteEntity.h"

class IScene;
class TiXmlElement;

// Ball defaults, in pixels and pixels per second.
constexpr float kDefaultBallMinSpeed = 50.0f;
constexpr float kDefaultBallMaxSpeed = 500.0f;
constexpr float kDefaultBallRestitution = 1.0f;
constexpr Vector2 kDefaultBallStartVelocity{300.0f, -300.0f};

// Attributes of a "ball" element, after those of a sprite entity. A top speed of 0 would freeze
// the ball in mid-air; "min_angle" beyond 45 degrees would leave no direction at all.
namespace ballsettings {
using K = ValueKind;
inline constexpr double kFastest = 100000.0;
inline constexpr Setting kRadius{"radius", K::Float, "half the width", "collision radius", 0.5, 1000};
inline constexpr Setting kRestitution{"restitution", K::Float, "1", "velocity factor at every bounce", 0, 2};
inline constexpr Setting kMinSpeed{"min_speed", K::Float, "50", "slowest speed, pixels per second", 0, kFastest};
inline constexpr Setting kMaxSpeed{"max_speed", K::Float, "500", "fastest speed, pixels per second", 1, kFastest};
inline constexpr Setting kStartVelocityX{
    "start_velocity_x", K::Float, "300", "velocity across at every launch, pixels per second", -kFastest, kFastest};
inline constexpr Setting kStartVelocityY{
    "start_velocity_y", K::Float, "-300", "velocity down at every launch; up is negative", -kFastest, kFastest};
inline constexpr Setting kMinAngle{"min_angle", K::Float, "0", "degrees the path keeps from either axis", 0, 45};
inline constexpr Setting kSpeedUp{"speed_up", K::Float, "0", "pixels per second gained with every block hit", 0, 1000};
inline constexpr Setting kStallTime{
    "stall_time", K::Float, "0", "above 0, seconds without a block hit before the ball turns towards one", 0, 3600};
inline constexpr Setting kStallAim{"stall_aim", K::FlagOff, "false",
                                   "long stalls turn the paddle's returns until they aim at a block"};
inline constexpr Setting kChainColours{"chain_colours", K::FlagOff, "false",
                                       "`true`: the colours show the chain's multiplier instead of turning at hits"};
inline constexpr Setting kRingSprite{"ring_sprite", K::SpriteId, "none",
                                     "the ring a change of colour leaves, drawn at its own size at the end"};
// A "colour" child: "hex", or the channels of gamesettings.
inline constexpr Setting kHex{"hex", K::Colour, "none", "the colour; without it the channels"};
} // namespace ballsettings

// Holds its collider by value; it reads `position` and `nextPosition` by reference. `holder` (the
// paddle) is not owned: both live in the same scene, which destroys them together.
class PellvaneBallEntity : public SpriteEntity {
public:
    PellvaneBallEntity() = default;
    PellvaneBallEntity(const PellvaneBallEntity&) = delete;
    PellvaneBallEntity& operator=(const PellvaneBallEntity&) = delete;

    void load(const TiXmlHandle& handle, IScene* scene) override;
    void update(float dt) override;
    void postUpdate(float dt) override;
    ICollider* getCollider() override;
    void onCollision(CollisionResult* collision) override;

    // Rides on `holder` (the paddle) with its centre at the holder's position + centreOffset.
    void attachTo(IEntity* holder, const Vector2& centreOffset);
    void release();
    // A held ball moves to its place on the paddle; a free one stays where it is.
    void rideOnPaddle();
    // The launch velocity of the data, at the present speed scale.
    Vector2 getStartVelocity() const { return startVelocity * speedScale; }
    // Every speed of the ball (its limits, its launch, its flight now) times `scale`: a level's
    // "ball_speed", a later lap, a slow power-up.
    void setSpeedScale(float scale);
    float getSpeedScale() const { return speedScale; }
    // A new ball like this one, where this one is, flying at `velocity`; for the scene to add.
    std::unique_ptr<PellvaneBallEntity> makeTwin(const Vector2& velocity) const;
    // Carries on the flight of `other`, which leaves the game: its place, velocity and stall count.
    void takeOver(const PellvaneBallEntity& other);
    void setVelocity(const Vector2& value) { velocity = value; }
    const Vector2& getVelocity() const { return velocity; }
    const Vector2& getNextPosition() const { return nextPosition; }
    bool isHeld() const { return held; }
    // Out of sight and still, below the field where it was lost, until the paddle takes it.
    void park();
    bool isParked() const { return parked; }
    // Seconds of flight since the last block hit (or the launch).
    float getTimeSinceBlockHit() const { return sinceBlockHit; }
    // Keeps the velocity's angle at least "min_angle" away from the horizontal and the vertical,
    // at the same speed; nothing changes without "min_angle". Until its next bounce a ball that
    // "stall_aim" pointed at a block may fly steeper: a block at the top of a narrow shaft is
    // reached only that way.
    void limitAngle();
    IEntity* getHolder() const { return holder; }
    // A held ball is drawn on its holder as the holder is drawn.
    Vector2 getDrawOffset() const override {
        return held && holder != nullptr ? holder->getDrawOffset() : SpriteEntity::getDrawOffset();
    }
    // Where along its holder a held ball's centre rides, from the holder's left edge.
    float getHeldAt() const { return holdOffset.x + width * 0.5f; }
    // Leaves an effect copy of the ball (or its ring) and moves on to the next colour of its list.
    // A ball without colours keeps its tint; the effect is still spawned. With "chain_colours" a
    // block hit leaves the colour alone: the chain sets it (showChain).
    void cycleColour();
    // With "chain_colours": the colour for `multiplier` (the first at 1, the last for any beyond
    // the list); a rise leaves a ring in the new colour, a fall (the chain ended) none.
    void showChain(int multiplier);

    float radius = 0.0f;
    float minSpeed = kDefaultBallMinSpeed;
    float maxSpeed = kDefaultBallMaxSpeed;
    float restitution = kDefaultBallRestitution;
    Vector2 startVelocity = kDefaultBallStartVelocity;
    // "min_angle" in radians, "speed_up" in pixels per second a block hit, "stall_time" in
    // seconds; each 0 (off) by default.
    float minAngle = 0.0f;
    float speedUp = 0.0f;
    float stallTime = 0.0f;
    // "stall_aim": the returns off the paddle of a ball that has long hit nothing turn twice as far
    // for every stretch, until one aims straight at a block the whole ball can reach.
    bool stallAim = false;
    float speedScale = 1.0f;
    std::vector<Colour> colours;
    unsigned colourIndex = 0;
    // "chain_colours": the list shows the chain's multiplier instead of turning at block hits.
    bool chainColours = false;
    // "ring_sprite": owned by the sprite manager; null leaves a copy of the ball itself.
    Sprite* ringSprite = nullptr;

private:
    void readColours(const TiXmlElement* element);
    // The effect a change of colour leaves: the ring (or a copy of the ball) in `tint`, growing
    // from the ball's size to kColourEffectEndScale times it and fading out.
    void leaveRing(const Colour& tint);
    void bounce(const CollisionResult& hit);
    void turnAfterStall();
    // Moves a free ball out of any box of the scene it overlaps before it sweeps.
    void moveOutOfBoxes(const IScene& scene);

    // Null until loaded.
    std::optional<SweptCircleCollider> collider;
    Vector2 nextPosition;
    Vector2 velocity;
    bool held = false;
    bool parked = false;
    float sinceBlockHit = 0.0f;
    // Stretches of "stall_time" flown since the last block hit; each allows a larger turn.
    int stallTurns = 0;
    bool aimedSteep = false;
    IEntity* holder = nullptr;
    Vector2 holdOffset;
    // The scene's boxes while the ball is moved out of them; a member only so its storage is reused.
    std::vector<Rect> boxes;
};
