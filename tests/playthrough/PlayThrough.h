// Playing the shipped game the way a player meets it: an autopilot at the keyboard, frame times
// from a fixed step to a jittery real loop, and after every frame the checks that matter to the
// player (the ball stays in the field, never sinks into a box, keeps moving). Shared by the suite's
// short play-through test and the long soak tool, which print the same counts.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <vector>
#include <string>

#include "collision/Rect.h"
#include "collision/Vector2.h"
#include "rules/PowerUpKinds.h"

class GameWorld;
class PellvaneBallEntity;
class PellvaneGameScene;
class PellvanePaddleEntity;
class TiXmlDocument;

namespace playthrough {

// How the frames of a run are timed.
enum class Timing {
    Fixed240, // a fixed 1/240 s
    Fixed60,  // a fixed 1/60 s
    Fixed20,  // a fixed 1/20 s
    Fixed5,   // a fixed 1/5 s
    Real60,   // a real 60 Hz loop: whole milliseconds 17, 17, 16, ...
    Jitter,   // whole milliseconds 1 to 40, with 3% spikes of 100 to 300
};
constexpr Timing kAllTimings[] = {Timing::Fixed240, Timing::Fixed60, Timing::Fixed20,
                                  Timing::Fixed5,   Timing::Real60,  Timing::Jitter};
const char* timingName(Timing timing);

// The dt of each frame, as the frame loop computes it from whole milliseconds where the timing
// is a real clock's.
class FrameClock {
public:
    FrameClock(Timing timing, uint32_t seed) : timing(timing), random(seed) {}
    float next();

private:
    Timing timing;
    std::mt19937 random;
    unsigned frame = 0;
};

// The kinds of player the harness plays as.
enum class Player {
    Swinging,  // aims off-centre and swings through the landing point, lending spin (the soak's)
    Still,     // waits still under the landing point, the ball landing on the paddle's centre
    Aiming,    // waits still with the landing point off-centre by a new random amount each time
    Following, // keeps the pointer under the ball, wherever it flies
    Person,    // a person with the pointer: sees the ball late, moves no faster than a hand, meets
               // the ball at a random place on the paddle, leaves capsules alone
};
const char* playerName(Player player);

// A game loaded headless from a data directory (textures decoded, never drawn), its capsules
// drawn from `capsuleSeed` in every game: the golden run's, the level report's, the play tests'.
struct HeadlessGame {
    HeadlessGame();
    ~HeadlessGame();
    std::unique_ptr<GameWorld> world;
    std::unique_ptr<TiXmlDocument> document;
    PellvaneGameScene* scene = nullptr;
};
// Null, with the reason on standard error, when the data does not load.
std::unique_ptr<HeadlessGame> loadHeadless(const std::string& directory, uint32_t capsuleSeed);

// Whatever plays: before each frame it presses keys or moves the pointer for that frame.
class Pilot {
public:
    virtual ~Pilot() = default;
    virtual void step(float dt) = 0;
};

// Steers the paddle under the ball's predicted landing point with the arrow keys and launches
// with the space bar, as a player does: it only presses keys (dispatched on the Game). Each time
// the ball starts down it picks a random aim off the paddle's centre and swings through to the
// other side in the last moments, so the paddle is moving at contact and lends the ball spin:
// without that every bounce would mirror the last and the ball could circle one path for ever. It
// misses now and then at long frame times, and on purpose on a `missChance` share of the balls it
// sees coming down, so that balls are lost, relaunched and games end. While the paddle has guns and
// holds no ball, it fires them with the space bar every kFireInterval.
class Autopilot : public Pilot {
public:
    Autopilot(PellvaneGameScene& scene, PellvanePaddleEntity& paddle, PellvaneBallEntity& ball, uint32_t seed,
              float missChance = 0.0f, Player player = Player::Swinging);
    // Presses and releases keys for the coming frame of `dt` seconds.
    void step(float dt) override;

private:
    // Seconds before contact at which the paddle swings through the landing point.
    static constexpr float kSwingTime = 0.12f;
    // Seconds the pilot waits with the ball on the paddle before launching it.
    static constexpr float kLaunchDelay = 0.33f;
    // Pixels from the target within which the paddle stops.
    static constexpr float kDeadZone = 6.0f;
    // Seconds between two pulls of the trigger while the guns are on.
    static constexpr float kFireInterval = 0.4f;

    // The ball to play: of those in flight, the one coming down that reaches the paddle first;
    // the paddle's own ball when none comes down. Null when the paddle holds every ball.
    PellvaneBallEntity* chooseBall() const;
    float landingX(const PellvaneBallEntity& which, float t) const;
    void steer(float target);

    PellvaneGameScene& scene;
    PellvanePaddleEntity& paddle;
    PellvaneBallEntity& ball;
    std::mt19937 random;
    float missChance;
    Player player;
    bool descending = false;
    const PellvaneBallEntity* followed = nullptr;
    bool missing = false;
    float heldTime = 0.0f;
    float sinceFired = 0.0f;
    float aim = 0.0f;
};

// Plays with the pointer as a "mouse" paddle expects, launching with a click: the following
// player, or the modelled person (Player::Person): it sees where the balls were kPersonSight
// seconds ago, moves the pointer at most kPersonReach pixels a second, and meets a ball at a
// random offset: where it means to (anywhere along the middle kPersonPlacement of the paddle)
// give or take its hand's error, which grows with the ball's speed (normal, with a spread of the
// distance the ball flies in kPersonHand seconds): a fast ball is met less surely.
class PointerPilot : public Pilot {
public:
    static constexpr float kPersonSight = 0.15f;
    static constexpr float kPersonReach = 2500.0f;
    static constexpr float kPersonPlacement = 0.8f;
    static constexpr float kPersonHand = 0.02f;

    PointerPilot(PellvaneGameScene& scene, PellvanePaddleEntity& paddle, PellvaneBallEntity& ball, uint32_t seed,
                 Player player);
    void step(float dt) override;

private:
    struct Seen {
        float time;
        std::vector<std::pair<Vector2, Vector2>> balls; // the free balls' centres and velocities
    };
    // What the pilot sees now: the frame `sight` seconds old (the latest for the following one).
    const Seen& sight() const;
    float landingX(const Vector2& centre, const Vector2& velocity, float t) const;
    void movePointer(float target, float dt);
    void click();

    PellvaneGameScene& scene;
    PellvanePaddleEntity& paddle;
    PellvaneBallEntity& ball;
    std::mt19937 random;
    Player player;
    float now = 0.0f;
    std::vector<Seen> history;
    float pointerX = 400.0f;
    float heldTime = 0.0f;
    float launchAfter = 0.5f;
    bool descending = false;
    float aim = 0.0f;
};

// What a run saw. The last three are faults: each must stay 0.
struct Counts {
    double simulatedSeconds = 0.0;
    long frames = 0;
    long blocksBroken = 0;
    long paddleBounces = 0;
    long ballsLost = 0;
    long levelsCleared = 0;
    long gamesOver = 0;
    long escapes = 0;  // frames ending with the ball's centre outside the field (below it is fine)
    long overlaps = 0; // frames ending with the ball more than kMaxOverlap inside an active box
    long freezes = 0;  // spans of kFreezeSeconds in flight in which the ball moved under kFreezeDistance
    long errors = 0;   // exceptions out of a frame, and positions or velocities that are not numbers
    // The longest flight without the ball hitting a block, in seconds.
    double longestWithoutHit = 0.0;
    // Bounces off the paddle by the angle the ball left at, from the vertical, in 5-degree bins
    // from -90 to +90.
    long leavingAngles[36] = {};
    // Capsules caught by kind, in the order of PowerUp, the most balls in play at once, and the
    // volleys the paddle's guns fired.
    std::array<long, kPowerUpCount> powerUpsCaught{};
    long mostBalls = 0;
    long volleys = 0;

    long faults() const { return escapes + overlaps + freezes + errors; }
    std::string summary() const;
    // "power-ups caught: wide N, ... laser N; most balls at once: N; volleys fired: N".
    std::string powerUpSummary() const;
};

constexpr float kMaxOverlap = 0.5f;

// The ball's centre, and whether it is in the field (or below it, where a lost ball goes).
Vector2 ballCentre(const PellvaneBallEntity& ball);
bool inField(const PellvaneGameScene& scene, const PellvaneBallEntity& ball);
// How deep the ball's circle is in the active box it is deepest in (0 if in none), and that box.
float deepestOverlap(const PellvaneGameScene& scene, const PellvaneBallEntity& ball, Rect* box = nullptr);
constexpr float kFreezeSeconds = 2.0f;
constexpr float kFreezeDistance = 8.0f;

// Plays `seconds` of simulated time on a loaded game scene at `timing`, starting a new game at
// once and again after every game over. `report` (if given) receives a line for each of the first
// few faults of each kind, so a failing run says where the ball was.
Counts play(PellvaneGameScene& scene, Timing timing, double seconds, uint32_t seed,
            const std::function<void(const std::string&)>& report = {});

// The same as one kind of player who never misses on purpose, until the game has cleared
// `levels` levels or `seconds` have passed.
// One level as a new game starting at `level` would play it, until it is cleared, the game is
// over or `seconds` have passed: the figures of the level report.
Counts playLevel(PellvaneGameScene& scene, unsigned level, Player player, Timing timing, double seconds,
                 uint32_t seed, const std::function<void(const std::string&)>& report);

Counts playAs(PellvaneGameScene& scene, Player player, Timing timing, double seconds, int levels, uint32_t seed,
              const std::function<void(const std::string&)>& report = {});

// One whole game from the first level as `player`, until game over or `seconds` have passed: what
// a person's evening looks like, level by level.
struct GameRecord {
    struct Level {
        int number = 0;      // counted across laps, from 1
        double seconds = 0;  // from its start to the next level's (or the game's end)
        int ballsLost = 0;   // lives lost on it
        bool cleared = false;
        int livesAtStart = 0; // balls in reserve when it started
    };
    std::vector<Level> levels;
    bool gameOver = false;
    double seconds = 0.0;
    int score = 0;
    long faults = 0;
};
GameRecord playGame(PellvaneGameScene& scene, Player player, Timing timing, double seconds, uint32_t seed);

} // namespace playthrough
