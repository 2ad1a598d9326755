// The play-through: autopilot, frame clock and the per-frame checks.
#include "PlayThrough.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>

#include "base/Exceptions.h"
#include "collision/AABBCollider.h"
#include "collision/SweptCircle.h"
#include "events/EventDispatcher.h"
#include "events/Events.h"
#include "events/Subscriptions.h"
#include "game/GameEvents.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneBlockEntity.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvanePaddleEntity.h"

namespace playthrough {

namespace {

// Faults described per kind before the rest are only counted.
constexpr long kReportedPerKind = 3;
// The share of descending balls the autopilot lets go by on purpose.
constexpr float kMissChance = 0.03f;

// As the main loop does: on the input dispatcher the scene was made with.
void sendKey(const PellvaneGameScene& scene, int32_t key, bool pressed) {
    if (EventDispatcher* input = scene.getContext().input)
        input->dispatchEvent(
            new KeyboardEvent(pressed ? KEYBOARD_KEY_PRESSED_EVENT : KEYBOARD_KEY_RELEASED_EVENT, key, pressed));
}

template <class T> T* findEntity(const BaseScene& scene) {
    for (IEntity* entity : scene.getEntities()) {
        if (auto* typed = dynamic_cast<T*>(entity))
            return typed;
    }
    return nullptr;
}

// Watches the ball after every frame, counts what happened and the faults.
class Observer {
public:
    Observer(PellvaneGameScene& scene, PellvaneBallEntity& ball, PellvanePaddleEntity& paddle,
             const std::function<void(const std::string&)>& report)
        : scene(scene), ball(ball), paddle(paddle), report(report) {}

    void afterFrame(Counts& counts, float dt, int livesBefore) {
        countEvents(counts, livesBefore);
        timeFlight(counts, dt);
        counts.mostBalls = std::max(counts.mostBalls, static_cast<long>(scene.getBallsInPlay()));
        // Every ball in the game keeps to the same rules as the paddle's own.
        std::map<const PellvaneBallEntity*, Watch> seen;
        for (PellvaneBallEntity* each : scene.getBalls()) {
            Watch& watch = seen[each] = watches[each];
            checkBall(counts, *each, watch, dt);
        }
        watches.swap(seen);
    }

private:
    // Where a ball was last seen to get somewhere, and for how long it has not since.
    struct Watch {
        Vector2 anchor;
        float flight = 0.0f;
        bool started = false;
    };

    void checkBall(Counts& counts, PellvaneBallEntity& which, Watch& watch, float dt) {
        if (!which.isActive())
            return;
        const Vector2 centre = ballCentre(which);
        const Vector2 v = which.getVelocity();
        if (!std::isfinite(centre.x) || !std::isfinite(centre.y) || !std::isfinite(v.x) || !std::isfinite(v.y)) {
            fault(counts.errors, counts, which, "position or velocity is not a number");
            return;
        }
        if (!inField(scene, which))
            fault(counts.escapes, counts, which, "centre outside the field");
        // A ball the paddle has just taken back stays where it was until its next frame on the
        // paddle; only a ball in flight can be inside a box.
        Rect box;
        const float depth = which.isHeld() ? 0.0f : deepestOverlap(scene, which, &box);
        if (depth > kMaxOverlap) {
            char what[128];
            std::snprintf(what, sizeof what, "%.2f px inside the box at (%.1f, %.1f, %.1f x %.1f)", depth, box.x,
                          box.y, box.width, box.height);
            fault(counts.overlaps, counts, which, what);
        }
        watchForFreeze(counts, which, watch, centre, dt);
    }

    // A block hit takes health off the level; a flight is a ball free and in sight.
    void timeFlight(Counts& counts, float dt) {
        const long health = healthIn(scene.getCurrentLevel());
        if (ball.isHeld() || ball.isParked() || scene.getCurrentLevel() != lastLevel || health < lastHealth)
            flightWithoutHit = 0.0;
        else
            flightWithoutHit += dt;
        lastHealth = health;
        counts.longestWithoutHit = std::max(counts.longestWithoutHit, flightWithoutHit);
    }

    long healthIn(unsigned level) const {
        long health = 0;
        for (IEntity* entity : scene.getLevel(level)) {
            auto* block = dynamic_cast<PellvaneBlockEntity*>(entity);
            health += block != nullptr && block->isActive() ? block->getHealth() : 0;
        }
        return health;
    }

    void countEvents(Counts& counts, int livesBefore) {
        if (scene.getLives() < livesBefore)
            ++counts.ballsLost;
        // A paddle bounce turns a falling ball upwards near the paddle.
        const Vector2 v = ball.getVelocity();
        if (!ball.isHeld() && lastVelocityY > 0.0f && v.y < 0.0f &&
            ball.getPosition().y + ball.getSize().y > paddle.getPosition().y - ball.getSize().y) {
            ++counts.paddleBounces;
            const float degrees = std::atan2(v.x, -v.y) * 57.2957795f;
            ++counts.leavingAngles[std::clamp(static_cast<int>((degrees + 90.0f) / 5.0f), 0, 35)];
        }
        lastVelocityY = ball.isHeld() ? 0.0f : v.y;

        // The level just cleared is still as its last block left it.
        if (scene.getCurrentLevel() != lastLevel)
            counts.blocksBroken += std::max(0L, brokenIn(lastLevel) - lastBroken);
        const long broken = brokenIn(scene.getCurrentLevel());
        if (scene.getCurrentLevel() == lastLevel && broken > lastBroken)
            counts.blocksBroken += broken - lastBroken;
        lastLevel = scene.getCurrentLevel();
        lastBroken = broken;
    }

    long brokenIn(unsigned level) const {
        long broken = 0;
        for (IEntity* entity : scene.getLevel(level)) {
            auto* block = dynamic_cast<PellvaneBlockEntity*>(entity);
            broken += block != nullptr && !block->isActive() ? 1 : 0;
        }
        return broken;
    }

    // In flight a ball must get somewhere: it may not stay within kFreezeDistance of one point
    // for kFreezeSeconds.
    void watchForFreeze(Counts& counts, PellvaneBallEntity& which, Watch& watch, const Vector2& centre,
                        float dt) {
        if (which.isHeld() || which.isParked() || !watch.started) {
            watch.flight = 0.0f;
            watch.anchor = centre;
            watch.started = true;
            return;
        }
        watch.flight += dt;
        if (length(centre - watch.anchor) >= kFreezeDistance) {
            watch.anchor = centre;
            watch.flight = 0.0f;
        } else if (watch.flight >= kFreezeSeconds) {
            fault(counts.freezes, counts, which, "the ball stayed within 8 px for 2 s");
            watch.anchor = centre;
            watch.flight = 0.0f;
        }
    }

    void fault(long& kind, const Counts& counts, PellvaneBallEntity& which, const std::string& what) {
        ++kind;
        if (!report || kind > kReportedPerKind)
            return;
        char line[256];
        const Vector2 v = which.getVelocity();
        std::snprintf(line, sizeof line, "t=%.3f s frame %ld: %s; %s ball at (%.3f, %.3f) velocity (%.1f, %.1f)%s",
                      counts.simulatedSeconds, counts.frames, what.c_str(), &which == &ball ? "the" : "an extra",
                      which.getPosition().x, which.getPosition().y, v.x, v.y, which.isHeld() ? " held" : "");
        report(line);
    }

    PellvaneGameScene& scene;
    PellvaneBallEntity& ball;
    PellvanePaddleEntity& paddle;
    const std::function<void(const std::string&)>& report;
    float lastVelocityY = 0.0f;
    unsigned lastLevel = 0;
    long lastBroken = 0;
    std::map<const PellvaneBallEntity*, Watch> watches;
    long lastHealth = 0;
    double flightWithoutHit = 0.0;
};

} // namespace

Vector2 ballCentre(const PellvaneBallEntity& ball) {
    return ball.getCentre();
}

bool inField(const PellvaneGameScene& scene, const PellvaneBallEntity& ball) {
    const Vector2 centre = ballCentre(ball);
    const Rect area = scene.getGameArea();
    return centre.x >= area.x && centre.x <= area.x + area.width && centre.y >= area.y;
}

float deepestOverlap(const PellvaneGameScene& scene, const PellvaneBallEntity& ball, Rect* box) {
    float deepest = 0.0f;
    for (IEntity* other : scene.getEntities()) {
        const ICollider* collider = other != &ball && other->isActive() ? other->getCollider() : nullptr;
        if (collider == nullptr || collider->getType() != kAABBColliderType)
            continue;
        const Rect bounds = static_cast<const AABBCollider*>(collider)->getBounds();
        const float depth = circleRectPenetration(ballCentre(ball), ball.radius, bounds);
        if (depth > deepest) {
            deepest = depth;
            if (box != nullptr)
                *box = bounds;
        }
    }
    return deepest;
}

Autopilot::Autopilot(PellvaneGameScene& scene, PellvanePaddleEntity& paddle, PellvaneBallEntity& ball, uint32_t seed,
                     float missChance, Player player)
    : scene(scene), paddle(paddle), ball(ball), random(seed), missChance(missChance), player(player) {}

PellvaneBallEntity* Autopilot::chooseBall() const {
    PellvaneBallEntity* soonest = nullptr;
    float soonestTime = 0.0f;
    for (PellvaneBallEntity* candidate : scene.getBalls()) {
        if (candidate->isHeld() || candidate->isParked() || !candidate->isActive())
            continue;
        const float vy = candidate->getVelocity().y;
        if (!(vy > 0.0f))
            continue;
        const float t = (paddle.getPosition().y - candidate->getPosition().y - candidate->getSize().y) / vy;
        if (soonest == nullptr || t < soonestTime) {
            soonest = candidate;
            soonestTime = t;
        }
    }
    if (soonest != nullptr)
        return soonest;
    return ball.isHeld() ? nullptr : &ball;
}

void Autopilot::step(float dt) {
    sinceFired += dt;
    if (paddle.hasGuns() && !paddle.isHoldingBall() && sinceFired > kFireInterval) {
        sinceFired = 0.0f;
        sendKey(scene, kKeySpace, true);
        sendKey(scene, kKeySpace, false);
    }
    PellvaneBallEntity* target = chooseBall();
    if (target == nullptr || ball.isHeld()) {
        // A player takes a moment before launching; at once, the ball would still be where it
        // was lost, below the paddle.
        heldTime += dt;
        if (scene.getState() == Playing && heldTime > kLaunchDelay) {
            heldTime = 0.0f;
            sendKey(scene, kKeySpace, true);
            sendKey(scene, kKeySpace, false);
        }
        if (target == nullptr) {
            steer(paddle.getPosition().x + paddle.getSize().x * 0.5f);
            return;
        }
    } else {
        heldTime = 0.0f;
    }
    const Vector2 v = target->getVelocity();
    if (v.y <= 0.0f) {
        descending = false;
        steer(target->getPosition().x + target->getSize().x * 0.5f);
        return;
    }
    if (!descending || target != followed) {
        descending = true;
        followed = target;
        std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
        aim = player == Player::Still ? 0.0f : unit(random) * paddle.getSize().x * (player == Player::Aiming ? 0.45f : 0.35f);
        // A miss: the paddle stays well off the landing point, with no swing through it.
        missing = unit(random) * 0.5f + 0.5f < missChance;
        if (missing)
            aim = (aim < 0.0f ? -1.0f : 1.0f) * (paddle.getSize().x * 0.5f + target->getSize().x * 2.0f);
    }
    const float ballBottom = target->getPosition().y + target->getSize().y;
    const float timeToContact = (paddle.getPosition().y - ballBottom) / v.y;
    const float landing = landingX(*target, timeToContact);
    // The swinging player crosses the landing point in the last moments; the others wait.
    const bool swing = player == Player::Swinging && !missing && timeToContact <= kSwingTime;
    steer(swing ? landing - aim : landing + aim);
}

// Where the ball's centre will be after `t` seconds, folded off the side walls.
float Autopilot::landingX(const PellvaneBallEntity& which, float t) const {
    const Rect area = scene.getGameArea();
    const float r = which.radius;
    const float low = area.x + r;
    const float span = area.width - 2.0f * r;
    float x = which.getCentre().x + which.getVelocity().x * (t > 0.0f ? t : 0.0f) - low;
    x = std::fmod(x, 2.0f * span);
    if (x < 0.0f)
        x += 2.0f * span;
    if (x > span)
        x = 2.0f * span - x;
    return low + x;
}

void Autopilot::steer(float target) {
    const float centre = paddle.getPosition().x + paddle.getSize().x * 0.5f;
    int want = 0;
    if (target > centre + kDeadZone)
        want = 1;
    else if (target < centre - kDeadZone)
        want = -1;
    if (want == paddle.direction)
        return;
    if (want == 0)
        sendKey(scene, paddle.direction < 0 ? kKeyLeft : kKeyRight, false);
    else
        sendKey(scene, want < 0 ? kKeyLeft : kKeyRight, true);
}

const char* timingName(Timing timing) {
    switch (timing) {
    case Timing::Fixed240:
        return "fixed 1/240 s";
    case Timing::Fixed60:
        return "fixed 1/60 s";
    case Timing::Fixed20:
        return "fixed 1/20 s";
    case Timing::Fixed5:
        return "fixed 1/5 s";
    case Timing::Real60:
        return "real 16/17 ms";
    case Timing::Jitter:
        return "jitter 1-40 ms, 3% spikes";
    }
    return "?";
}

float FrameClock::next() {
    unsigned milliseconds = 0;
    switch (timing) {
    case Timing::Fixed240:
        return 1.0f / 240.0f;
    case Timing::Fixed60:
        return 1.0f / 60.0f;
    case Timing::Fixed20:
        return 1.0f / 20.0f;
    case Timing::Fixed5:
        return 1.0f / 5.0f;
    case Timing::Real60:
        milliseconds = frame++ % 3 == 2 ? 16u : 17u;
        break;
    case Timing::Jitter:
        if (std::uniform_real_distribution<float>(0.0f, 1.0f)(random) < 0.03f)
            milliseconds = std::uniform_int_distribution<unsigned>(100u, 300u)(random);
        else
            milliseconds = std::uniform_int_distribution<unsigned>(1u, 40u)(random);
        break;
    }
    // As the frame loop turns its tick difference into seconds.
    return static_cast<float>(milliseconds / 1000.0);
}

std::string Counts::summary() const {
    char line[512];
    std::snprintf(line, sizeof line,
                  "%.0f simulated s, %ld frames: %ld blocks broken, %ld paddle bounces, %ld balls lost, %ld levels "
                  "cleared, %ld games over, longest flight without a block hit %.1f s | faults: %ld escapes, %ld "
                  "overlaps, %ld freezes, %ld errors",
                  simulatedSeconds, frames, blocksBroken, paddleBounces, ballsLost, levelsCleared, gamesOver,
                  longestWithoutHit, escapes, overlaps, freezes, errors);
    return line;
}

std::string Counts::powerUpSummary() const {
    std::string line = "power-ups caught:";
    for (const PowerUpKind& kind : kPowerUpKinds)
        line += std::string(kind.id == PowerUp{} ? " " : ", ") + kind.name + " " +
                std::to_string(powerUpsCaught[static_cast<std::size_t>(kind.id)]);
    return line + "; most balls at once: " + std::to_string(mostBalls) + "; volleys fired: " + std::to_string(volleys);
}

namespace {
// Counts the events it hears: the volleys of the paddle's guns.
class EventCounter final : public IEventCallback {
public:
    bool handleEvent(IEvent*) override {
        ++count;
        return false;
    }
    long count = 0;
};

Counts run(PellvaneGameScene& scene, Player player, float missChance, Timing timing, double seconds, int levels,
           uint32_t seed, const std::function<void(const std::string&)>& report, int startLevel = -1) {
    Counts counts;
    auto* paddle = findEntity<PellvanePaddleEntity>(scene);
    auto* ball = findEntity<PellvaneBallEntity>(scene);
    if (paddle == nullptr || ball == nullptr) {
        ++counts.errors;
        if (report)
            report("the scene has no paddle or no ball");
        return counts;
    }
    Autopilot pilot(scene, *paddle, *ball, seed, missChance, player);
    Observer observer(scene, *ball, *paddle, report);
    FrameClock clock(timing, seed);
    EventCounter volleys;
    Subscriptions listening;
    listening.add(&scene, PELLVANE_LASER_FIRED, &volleys);
    long caughtBefore[kPowerUpCount];
    for (std::size_t kind = 0; kind < kPowerUpCount; ++kind)
        caughtBefore[kind] = scene.getCaughtCount(static_cast<PowerUp>(kind));
    if (startLevel >= 0)
        scene.newGameAt(static_cast<unsigned>(startLevel));
    else
        scene.newGame();
    int levelsCompleted = scene.getLevelsCompleted();
    while (counts.simulatedSeconds < seconds && counts.levelsCleared < levels) {
        const float dt = clock.next();
        const int lives = scene.getLives();
        pilot.step(dt);
        try {
            scene.update(dt);
        } catch (const BaseException& error) {
            ++counts.errors;
            if (report)
                report("exception out of a frame: " + error.message);
            return counts;
        }
        counts.simulatedSeconds += dt;
        ++counts.frames;
        observer.afterFrame(counts, dt, lives);
        counts.levelsCleared += scene.getLevelsCompleted() - levelsCompleted;
        if (scene.getState() == GameOver) {
            ++counts.gamesOver;
            // A level played on its own starts again until it is cleared or the time is up.
            if (startLevel >= 0)
                scene.newGameAt(static_cast<unsigned>(startLevel));
            else
                scene.newGame();
        }
        levelsCompleted = scene.getLevelsCompleted();
    }
    for (std::size_t kind = 0; kind < kPowerUpCount; ++kind)
        counts.powerUpsCaught[kind] = scene.getCaughtCount(static_cast<PowerUp>(kind)) - caughtBefore[kind];
    counts.volleys = volleys.count;
    return counts;
}
} // namespace

Counts play(PellvaneGameScene& scene, Timing timing, double seconds, uint32_t seed,
            const std::function<void(const std::string&)>& report) {
    return run(scene, Player::Swinging, kMissChance, timing, seconds, std::numeric_limits<int>::max(), seed, report);
}

Counts playLevel(PellvaneGameScene& scene, unsigned level, Player player, Timing timing, double seconds,
                 uint32_t seed, const std::function<void(const std::string&)>& report) {
    return run(scene, player, 0.0f, timing, seconds, 1, seed, report, static_cast<int>(level));
}

Counts playAs(PellvaneGameScene& scene, Player player, Timing timing, double seconds, int levels, uint32_t seed,
              const std::function<void(const std::string&)>& report) {
    return run(scene, player, 0.0f, timing, seconds, levels, seed, report);
}

} // namespace playthrough
