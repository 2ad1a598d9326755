// The play-through: autopilot, frame clock and the per-frame checks.
#include "PlayThrough.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "collision/AABBCollider.h"
#include "collision/SweptCircle.h"
#include "events/EventDispatcher.h"
#include "events/Events.h"
#include "events/Subscriptions.h"
#include "game/Configuration.h"
#include "game/GameEvents.h"
#include "game/GameWorld.h"
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

// As the main loop does: on the Game's input dispatcher.
void sendKey(const PellvaneGameScene& scene, int32_t key, bool pressed) {
    if (EventDispatcher* input = scene.getGameInput())
        input->dispatchEvent(
            new KeyboardEvent(pressed ? KEYBOARD_KEY_PRESSED_EVENT : KEYBOARD_KEY_RELEASED_EVENT, key, pressed));
}

// A pointer move or a click, as the main loop dispatches them; y is somewhere in the field.
void sendMouse(const PellvaneGameScene& scene, const std::string& name, float x, int32_t action,
               int32_t button = NoButton) {
    if (EventDispatcher* input = scene.getGameInput())
        input->dispatchEvent(new MouseEvent(name, static_cast<uint32_t>(std::clamp(x, 0.0f, 799.0f)), 300, false, false,
                                            action, button));
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
            std::snprintf(what, sizeof what, "%.2f px inside the box at (%.1f, %.1f, %.1f x %.1f)", depth, box.x, box.y,
                          box.width, box.height);
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
    void watchForFreeze(Counts& counts, PellvaneBallEntity& which, Watch& watch, const Vector2& centre, float dt) {
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
        aim = player == Player::Still ? 0.0f
                                      : unit(random) * paddle.getSize().x * (player == Player::Aiming ? 0.45f : 0.35f);
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

HeadlessGame::HeadlessGame() = default;
HeadlessGame::~HeadlessGame() = default;

std::unique_ptr<HeadlessGame> loadHeadless(const std::string& directory, uint32_t capsuleSeed) {
    auto game = std::make_unique<HeadlessGame>();
    game->world = std::make_unique<GameWorld>();
    game->world->headless = true;
    game->world->setCapsuleSeed(capsuleSeed);
    // A game played by a harness is no game of the player's: their scores are left as they are.
    game->world->leavePlayerFilesAlone();
    game->document = std::make_unique<TiXmlDocument>();
    // The data's files are named relative to its directory, as the game makes it the working one.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(directory);
    configureGame(*game->world, *game->document);
    std::filesystem::current_path(previous);
    game->scene = dynamic_cast<PellvaneGameScene*>(game->world->getCurrentScene());
    if (game->world->quitRequested || game->scene == nullptr) {
        std::fprintf(stderr, "the game in %s did not load\n", directory.c_str());
        return nullptr;
    }
    return game;
}

const char* playerName(Player player) {
    switch (player) {
    case Player::Swinging:
        return "swinging";
    case Player::Still:
        return "still";
    case Player::Aiming:
        return "aiming";
    case Player::Following:
        return "following";
    case Player::Person:
        return "person";
    }
    return "?";
}

PointerPilot::PointerPilot(PellvaneGameScene& scene, PellvanePaddleEntity& paddle, PellvaneBallEntity& ball,
                           uint32_t seed, Player player)
    : scene(scene), paddle(paddle), ball(ball), random(seed), player(player) {}

const PointerPilot::Seen& PointerPilot::sight() const {
    const float delay = player == Player::Person ? kPersonSight : 0.0f;
    // The latest frame at least `delay` old; the oldest kept when none is that old yet.
    for (auto seen = history.rbegin(); seen != history.rend(); ++seen)
        if (seen->time <= now - delay)
            return *seen;
    return history.front();
}

float PointerPilot::landingX(const Vector2& centre, const Vector2& velocity, float t) const {
    const Rect area = scene.getGameArea();
    const float r = ball.radius;
    const float low = area.x + r;
    const float span = area.width - 2.0f * r;
    float x = std::fmod(centre.x + velocity.x * (t > 0.0f ? t : 0.0f) - low, 2.0f * span);
    if (x < 0.0f)
        x += 2.0f * span;
    if (x > span)
        x = 2.0f * span - x;
    return low + x;
}

void PointerPilot::movePointer(float target, float dt) {
    const float reach = player == Player::Person ? kPersonReach * dt : 1e9f;
    pointerX += std::clamp(target - pointerX, -reach, reach);
    sendMouse(scene, MOUSE_MOVE_EVENT, pointerX, MouseMoved);
}

void PointerPilot::click() {
    sendMouse(scene, MOUSE_BUTTON_DOWN_EVENT, pointerX, MouseButtonDown, LeftButton);
    sendMouse(scene, MOUSE_BUTTON_UP_EVENT, pointerX, MouseButtonUp, LeftButton);
}

void PointerPilot::step(float dt) {
    now += dt;
    Seen seen{now, {}};
    for (PellvaneBallEntity* each : scene.getBalls())
        if (each->isActive() && !each->isHeld() && !each->isParked())
            seen.balls.emplace_back(each->getCentre(), each->getVelocity());
    history.push_back(std::move(seen));
    // A second of history is plenty for a sight a fraction of a second late.
    while (history.size() > 2 && history.front().time < now - 1.0f)
        history.erase(history.begin());

    if (ball.isHeld()) {
        // A person takes a moment before launching, a different one each time.
        heldTime += dt;
        if (scene.getState() == Playing && heldTime > launchAfter) {
            heldTime = 0.0f;
            launchAfter = std::uniform_real_distribution<float>(0.3f, 0.9f)(random);
            click();
        }
    } else {
        heldTime = 0.0f;
    }
    const Seen& view = sight();
    const float paddleTop = paddle.getPosition().y;
    const float half = paddle.getSize().x * 0.5f;
    const std::pair<Vector2, Vector2>* coming = nullptr;
    float soonest = 0.0f;
    for (const auto& each : view.balls) {
        if (!(each.second.y > 0.0f))
            continue;
        const float t = (paddleTop - each.first.y - ball.radius) / each.second.y;
        if (coming == nullptr || t < soonest) {
            coming = &each;
            soonest = t;
        }
    }
    if (player == Player::Following) {
        // Under the ball wherever it is, and under the one coming down first when there are more.
        if (coming != nullptr)
            movePointer(coming->first.x, dt);
        else if (!view.balls.empty())
            movePointer(view.balls.front().first.x, dt);
        return;
    }
    if (coming == nullptr) {
        descending = false;
        // While the ball rises a person drifts under it.
        if (!view.balls.empty())
            movePointer(view.balls.front().first.x, dt);
        return;
    }
    if (!descending) {
        descending = true;
        const float speed = length(coming->second);
        aim = std::uniform_real_distribution<float>(-kPersonPlacement, kPersonPlacement)(random) * half +
              std::normal_distribution<float>(0.0f, kPersonHand * speed)(random);
    }
    movePointer(landingX(coming->first, coming->second, soonest) + aim, dt);
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
std::unique_ptr<Pilot> makePilot(PellvaneGameScene& scene, PellvanePaddleEntity& paddle, PellvaneBallEntity& ball,
                                 uint32_t seed, float missChance, Player player) {
    if (player == Player::Following || player == Player::Person)
        return std::make_unique<PointerPilot>(scene, paddle, ball, seed, player);
    return std::make_unique<Autopilot>(scene, paddle, ball, seed, missChance, player);
}
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
    std::unique_ptr<Pilot> pilot = makePilot(scene, *paddle, *ball, seed, missChance, player);
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
        pilot->step(dt);
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

Counts playLevel(PellvaneGameScene& scene, unsigned level, Player player, Timing timing, double seconds, uint32_t seed,
                 const std::function<void(const std::string&)>& report) {
    return run(scene, player, 0.0f, timing, seconds, 1, seed, report, static_cast<int>(level));
}

Counts playAs(PellvaneGameScene& scene, Player player, Timing timing, double seconds, int levels, uint32_t seed,
              const std::function<void(const std::string&)>& report) {
    return run(scene, player, 0.0f, timing, seconds, levels, seed, report);
}

namespace {
// Counts the lives lost by the game events that tell them.
class LossCounter final : public IEventCallback {
public:
    bool handleEvent(IEvent*) override {
        ++lost;
        return false;
    }
    int lost = 0;
};
} // namespace

GameRecord playGame(PellvaneGameScene& scene, Player player, Timing timing, double seconds, uint32_t seed) {
    GameRecord record;
    auto* paddle = findEntity<PellvanePaddleEntity>(scene);
    auto* ball = findEntity<PellvaneBallEntity>(scene);
    if (paddle == nullptr || ball == nullptr) {
        ++record.faults;
        return record;
    }
    std::unique_ptr<Pilot> pilot = makePilot(scene, *paddle, *ball, seed, 0.0f, player);
    // The observer keeps a reference to what it reports to: it must outlive the game.
    const std::function<void(const std::string&)> report = [](const std::string& line) {
        std::fprintf(stderr, "  %s\n", line.c_str());
    };
    Observer observer(scene, *ball, *paddle, report);
    FrameClock clock(timing, seed);
    LossCounter losses;
    scene.registerCallback(PELLVANE_BALL_LOST, &losses);
    scene.registerCallback(PELLVANE_GAME_OVER, &losses);
    scene.newGame();
    Counts counts;
    while (record.seconds < seconds && scene.getState() != GameOver) {
        if (record.levels.empty() || record.levels.back().number != scene.getMatch().getLevelNumber()) {
            if (!record.levels.empty())
                record.levels.back().cleared = true;
            GameRecord::Level level;
            level.number = scene.getMatch().getLevelNumber();
            level.livesAtStart = scene.getLives();
            record.levels.push_back(level);
            losses.lost = 0;
        }
        const float dt = clock.next();
        const int lives = scene.getLives();
        pilot->step(dt);
        try {
            scene.update(dt);
        } catch (const BaseException&) {
            ++record.faults;
            break;
        }
        record.seconds += dt;
        record.levels.back().seconds += dt;
        record.levels.back().ballsLost = losses.lost;
        observer.afterFrame(counts, dt, lives);
    }
    scene.unregisterCallback(PELLVANE_BALL_LOST, &losses);
    scene.unregisterCallback(PELLVANE_GAME_OVER, &losses);
    record.gameOver = scene.getState() == GameOver;
    record.score = scene.getScore();
    record.faults += counts.faults();
    return record;
}

} // namespace playthrough
