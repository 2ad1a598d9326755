// The player's paddle: slides along the game area under the keyboard (or follows the pointer),
// carries the ball before each launch, launches it with the space bar (or a click) and catches it
// again; while it has guns, the same press fires them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/Setting.h"
#include "collision/Vector2.h"
#include "events/Events.h"
#include "events/Subscriptions.h"
#include "game/BallSurface.h"
#include "scene/BoxEntity.h"

class EventDispatcher;
class PellvaneBallEntity;
class PellvanePaddleEntity;

// Paddle defaults: pixels per second, a share, pixels.
constexpr float kDefaultPaddleSpeed = 50.0f;
constexpr float kDefaultPaddleSpin = 0.3f;
constexpr float kDefaultBallHeight = 30.0f;

// SDL 1.2 key symbols the paddle obeys.
constexpr int32_t kKeySpace = 32;
constexpr int32_t kKeyA = 97;
constexpr int32_t kKeyD = 100;
constexpr int32_t kKeyRight = 275;
constexpr int32_t kKeyLeft = 276;

// Attributes of a "paddle" element, after those of a box.
namespace paddlesettings {
using K = ValueKind;
inline constexpr Setting kSpeed{"speed", K::Float, "50", "pixels per second", 0, 100000};
inline constexpr Setting kSpin{"spin", K::Float, "0.3", "share of the paddle's speed a bounce gives the ball", 0, 5};
inline constexpr Setting kBallHeight{
    "ball_height", K::Float, "30", "how far above the paddle the held ball's centre rides", 0, 1000};
inline constexpr Setting kMouse{"mouse", K::FlagOff, "false", "`true`: follows the pointer; a click launches"};
inline constexpr Setting kMouseInstant{"mouse_instant", K::FlagOff, "false",
                                       "with `mouse`, `true`: the paddle is under the pointer at once"};
// Degrees from the vertical: a ball must still leave the paddle upwards.
inline constexpr Setting kMaxBounceAngle{
    "max_bounce_angle", K::Float, "0", "above 0, degrees from the vertical a ball leaves either end at", 0, 85};
inline constexpr Setting kCatchWindow{
    "catch_window", K::Float, "0", "seconds around a bounce in which a launch press catches the ball", 0, 2};
inline constexpr Setting kWideSprite{"wide_sprite", K::SpriteId, "none", "the picture while `wide`"};
inline constexpr Setting kNarrowSprite{"narrow_sprite", K::SpriteId, "none", "the picture while `narrow`"};
inline constexpr Setting kLaserSprite{"laser_sprite", K::SpriteId, "none", "the picture while `laser` (the guns)"};
} // namespace paddlesettings

// Forwards key presses and releases, and with "mouse" on the pointer's moves and clicks, from the
// Game's dispatcher to the paddle.
class PaddleInputCallback final : public IEventCallback {
public:
    explicit PaddleInputCallback(PellvanePaddleEntity* paddle) : paddle(paddle) {}
    bool handleEvent(IEvent* event) override;

private:
    PellvanePaddleEntity* paddle;
};

// Forwards the game events from the scene's dispatcher to the paddle.
class PaddlePellvaneCallback final : public IEventCallback {
public:
    explicit PaddlePellvaneCallback(PellvanePaddleEntity* paddle) : paddle(paddle) {}
    bool handleEvent(IEvent* event) override;

private:
    PellvanePaddleEntity* paddle;
};

// Owns both callbacks, whose registrations end with the paddle; the dispatchers they are
// registered with (the Game and the scene) outlive the paddle. `ball` is not owned:
// it lives in the same scene.
class PellvanePaddleEntity : public BoxEntity, public IBallSurface {
public:
    PellvanePaddleEntity() = default;
    ~PellvanePaddleEntity() override;
    PellvanePaddleEntity(const PellvanePaddleEntity&) = delete;
    PellvanePaddleEntity& operator=(const PellvanePaddleEntity&) = delete;

    void load(const TiXmlHandle& handle, IScene* scene) override;
    void update(float dt) override;
    void postUpdate(float dt) override;
    // Back to the loaded position; the flags are left as they are.
    void reset() override;
    void onCollision(CollisionResult* collision) override;

    // True for the keys the paddle uses, while input is enabled and the game is not paused.
    bool handleKey(const KeyboardEvent& event);
    // With "mouse" on: a move points the paddle at the pointer, a click (left or right) launches,
    // catches or fires like a space release. True when the event steered or launched.
    bool handleMouse(const MouseEvent& event);
    // With the scene's gamepad on: the stick steers in proportion to how far it is pushed, the
    // d-pad's left and right like the keys, and the launch button's release launches, catches or
    // fires. True when the event steered or launched.
    bool handleJoystick(const JoystickEvent& event);
    void handleGameEvent(const IEvent& event);

    // The paddle's velocity along x in pixels per second, as a bounce feels it: direction x speed,
    // or with "mouse_instant" while the pointer steers, this frame's move over its time, at most
    // `speed` either way.
    float getVelocity() const;
    // Under a pointer that moves it at once the paddle is drawn where it is: drawing it a step
    // behind would bring back the lag "mouse_instant" takes away.
    Vector2 getDrawOffset() const override { return steering && instantMouse ? Vector2{} : BoxEntity::getDrawOffset(); }
    // Where `x` lies along the paddle: -1 at its left end, 0 at its centre, +1 at its right end
    // (clamped).
    float offsetAlong(float x) const;
    // A ball bounced off the paddle: off its top with "max_bounce_angle" it is aimed from where it
    // met it, otherwise it takes spin from the paddle's motion; "PELLVANE_PADDLE_BOUNCE" is raised,
    // and a catch asked for a moment ago ("catch_window") happens now, as does a sticky paddle's.
    BallBounce ballMet(const BallContact& contact) override;

    // The width as `scale` times the loaded one, about the paddle's centre and within the game
    // area; `look` above 0 draws it with "wide_sprite", below 0 with "narrow_sprite" (when given).
    void setWidthScale(float scale, int look);
    // While the guns are on the paddle is drawn with "laser_sprite" (when given, at any width), and
    // a launch press with no ball to launch fires them instead of catching.
    void setGuns(bool on);
    bool hasGuns() const { return guns; }
    // While sticky, every ball that lands on the paddle stays on it until the next launch.
    void setSticky(bool on) { sticky = on; }
    bool isSticky() const { return sticky; }
    // A ball leaving the game (an extra ball destroyed): the paddle lets go of it.
    void forgetBall(const IEntity* which);
    // The main ball carries on as `extra` did, which leaves the game: held where it was held.
    void handOver(PellvaneBallEntity& extra);
    std::size_t getHeldExtraCount() const { return heldExtras.size(); }

    PellvaneBallEntity* getBall() const { return ball; }
    bool isHoldingBall() const { return holdingBall; }
    IEventCallback* getInputCallback() const { return inputCallback.get(); }
    IEventCallback* getGameCallback() const { return gameCallback.get(); }

    float speed = kDefaultPaddleSpeed;
    float spin = kDefaultPaddleSpin;
    float ballHeight = kDefaultBallHeight;
    // The paddle's velocity is direction x speed. The keys make it -1, 0 or +1; following the
    // pointer gives the share of the full speed that reaches the pointer this frame.
    float direction = 0.0f;
    Vector2 startPosition;
    // "mouse": the paddle follows the pointer's x and a left click launches.
    bool followsMouse = false;
    // "mouse_instant": the paddle's centre goes under the pointer at once instead of chasing it.
    bool instantMouse = false;
    // "max_bounce_angle" in radians: 0 leaves bounces as mirror images with spin; above 0 the
    // place the ball meets the paddle aims it, and a launch follows the paddle's motion.
    float maxBounceAngle = 0.0f;
    // "catch_window" in seconds: a launch press this long before or after a bounce off the
    // paddle catches the ball. 0: only a ball that touches the paddle is caught.
    float catchWindow = 0.0f;

private:
    // After each bounce of `which` off the paddle: a catch asked for a moment ago ("catch_window")
    // happens now, and a sticky paddle holds whichever ball it was.
    void ballBounced(PellvaneBallEntity* which);
    // The ball rides at `centreX` pixels from the paddle's left edge (its centre by default).
    void takeBall(float centreX = -1.0f);
    void launchOrCatch();
    // A space release or a click: a held ball is launched; else armed guns fire, or the ball is caught.
    void trigger();
    // The picture for the width's look and the guns.
    Sprite* lookSprite() const;
    void launch();
    // The velocity a held ball leaves with, aimed from where it sits.
    Vector2 launchVelocity(PellvaneBallEntity& held) const;
    void holdExtra(PellvaneBallEntity& extra);
    // Every ball the paddle holds: the extras, then its own ball when held.
    std::vector<PellvaneBallEntity*> heldBalls() const;
    // Where along the paddle `which` can ride nearest `wanted`, clear of the other held balls.
    float placeFor(const PellvaneBallEntity& which, float wanted) const;
    // The held balls moved apart along the paddle (after it narrowed), in the order they sit.
    void spreadHeldBalls();
    void catchBall();
    // Tells the scene the ball waits on the paddle, when it does so in play.
    void announceReady();
    void findBall();
    // Sets `direction` so this frame's move ends under the pointer, or as far towards it as the
    // speed allows.
    void steerTowardsPointer(float dt, float boxWidth, bool inputEnabled);

    std::unique_ptr<PaddleInputCallback> inputCallback;
    std::unique_ptr<PaddlePellvaneCallback> gameCallback;
    // The callbacks' registrations on the Game's input and on the scene; they end before the
    // callbacks do.
    Subscriptions subscriptions;
    PellvaneBallEntity* ball = nullptr;
    bool holdingBall = false;
    // The pointer steers from its first move in play until a direction key is pressed.
    bool steering = false;
    float pointerX = 0.0f;
    // A mouse button went down in play: its release launches.
    bool clickArmed = false;
    // The gamepad's launch button went down in play: its release launches.
    bool padArmed = false;
    // The direction is the gamepad's (its stick or d-pad): letting go of it stops the paddle.
    bool padSteering = false;
    // This frame's move over its time, while the pointer steers with "mouse_instant".
    float measuredVelocity = 0.0f;
    // Seconds since the ball last bounced off the paddle, and left of a catch asked for early.
    float sinceBounce = 1e9f;
    float catchRequest = 0.0f;
    bool sticky = false;
    bool guns = false;
    // Above 0 the wide look, below 0 the narrow one.
    int widthLook = 0;
    // Extra balls the sticky paddle holds; they live in the scene, which tells the paddle before
    // it destroys one (forgetBall).
    std::vector<PellvaneBallEntity*> heldExtras;
    float loadedWidth = 0.0f;
    Sprite* loadedSprite = nullptr;
    Sprite* wideSprite = nullptr;
    Sprite* narrowSprite = nullptr;
    Sprite* laserSprite = nullptr;
};
