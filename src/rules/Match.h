// One game of levels as rules: the state from loading to game over, the score, the lives, the lap,
// the level played and the delays between them, and the power-ups in force. It is stepped with
// the frame's time and told what the play field did (a block broke, the last ball was lost, a
// capsule was caught); it answers with plain events, in order, which the game scene turns into its
// named events, sounds and entities. Nothing here draws, plays, reads a file or knows an entity.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "rules/PowerUps.h"

// LevelCleared only with a "cleared_delay": the cleared level stays on screen for that long;
// AllCleared only with an "all_cleared_delay", after the last level, before the next lap.
enum GameState : int32_t {
    Initiated = 0,
    LevelLoaded = 1,
    Playing = 2,
    GameOver = 3,
    LevelCleared = 4,
    AllCleared = 5
};

// Balls a capsule that brings more balls adds (within the power-ups' "max_balls").
inline constexpr int kExtraBallsPerCapsule = 2;

struct MatchSettings {
    int initialLives = 3;
    float loadedDelay = 0.1f;
    float clearedDelay = 0.0f;
    float lostDelay = 0.0f;
    float allClearedDelay = 0.0f;
    float lapSpeedUp = 0.0f;
    // A ball in reserve for every cleared level; without it lives are earned with points.
    bool lifePerLevel = true;
    // One more ball each time the score reaches another multiple of this; 0: never.
    int extraLifeEvery = 0;
    // Blocks broken in a row without a ball touching the paddle raise the multiplier of their
    // points by one every `chainStep` blocks, up to `chainMost`; a `chainStep` of 0: no chain.
    int chainStep = 0;
    int chainMost = 1;
    // A cleared level's bonus: points for every ball in reserve, and for every whole second the
    // level took under `bonusPar`.
    int bonusPerLife = 0;
    float bonusPar = 0.0f;
    int bonusPerSecond = 0;
    // The end of a lap waits for the player (`proceed`) once "all_cleared_delay" has passed.
    bool allClearedWaits = false;
};

// What a lap of every level took: shown when it is cleared.
struct LapFigures {
    float seconds = 0.0f; // in play, loading delays and banners aside
    int blocks = 0;       // broken
    int bestChain = 0;    // the most blocks broken in a row without a ball touching the paddle
    int ballsLost = 0;    // lives lost
};

// What a level's file sets for it: factors on the ball's speeds and the paddle's width, and the
// chance a broken block releases a capsule (below 0: the power-ups' own).
struct LevelSettings {
    float ballSpeed = 1.0f;
    float paddleWidth = 1.0f;
    float capsuleChance = -1.0f;
};

struct MatchEvent {
    enum Kind {
        GameStarted,     // a new game: score, lives and the level count are reset
        LevelBrought,    // `level` is the level to bring into play now
        LevelStarted,    // the loading delay is over: play begins
        BallLost,        // the last ball in play was lost and a life was left
        BallServed,      // "lost_delay" after a loss: the next ball goes on the paddle
        GameOver,        // the last ball was lost with no life left
        LevelCleared,    // the level is cleared; the next follows after "cleared_delay"
        AllCleared,      // the last level is cleared; the next lap follows after "all_cleared_delay"
        PowerUpsEnded,   // every effect, falling capsule and extra ball ends
        PowerUpsChanged, // an effect started or ran out: sizes and speeds change
        PowerUpEnded,    // the effect of `powerUp` ran out (not when every effect ends with a level or a ball)
        CapsuleCaught,   // `powerUp` was caught and counted
        ExtraBalls,      // `count` more balls leave from the paddle's ball
        LifeEarned,      // the score reached another "extra_life_every": one more ball
        NewBest,         // the score passed the best kept from earlier games, for the first time in this one
        LapStarted,      // the first level comes back for lap `count` + 1 (after an all cleared)
        VolleyFired,     // the guns `powerUp` arms fire a volley from the paddle
    };
    Kind kind;
    unsigned level = 0;
    PowerUp powerUp = PowerUp::Wide;
    int count = 0;
};

class Match {
public:
    Match() = default;
    Match(const MatchSettings& settings, const PowerUpSettings& powerUps, std::vector<LevelSettings> levels,
          int bestScore = 0);

    // A new game from level `index` (< the level count), its capsules drawn from `seed`.
    void newGame(unsigned index, uint32_t seed);
    // One step of `dt` seconds. `levelCleared` says whether no block holding the level open stands.
    void step(float dt, bool levelCleared);
    // The last ball in play left the field; after game over nothing more is counted.
    void lastBallLost();
    // Points for a broken block, times the chain's multiplier; the chain grows by one.
    void blockBroken(int points);
    // A ball touched the paddle: the chain ends.
    void paddleTouched() { chain = 0; }
    // Points as they are; the score saturates at the largest int instead of wrapping round. Every
    // multiple of "extra_life_every" it reaches brings a ball, and passing the kept best, the news.
    void addScore(int points);
    // The player asks the end of a lap to go on (a click): it does once its delay is over.
    void proceed();
    // A capsule reached the paddle: while playing it is counted and takes effect.
    void capsuleCaught(PowerUp kind);
    // The capsule a block broken now releases (the block's own, or drawn with the level's chance).
    std::optional<PowerUp> drawCapsule(std::optional<PowerUp> blockCapsule);
    // The player pulled the trigger: in play, with guns in force and their cooldown over, a volley leaves.
    void fireGuns();

    // The level in play is now `index`, whatever the state (a level brought in by hand).
    void setCurrentLevel(unsigned index) { currentLevel = index; }

    // The events since they were last taken, in order.
    std::vector<MatchEvent> takeEvents();

    GameState getState() const { return state; }
    // A game in play: a level loaded or played, or a cleared one shown.
    bool isInPlay() const {
        return state == LevelLoaded || state == Playing || state == LevelCleared || state == AllCleared;
    }
    bool isInputEnabled() const { return inputEnabled; }
    int getScore() const { return score; }
    int getLives() const { return lives; }
    int getLevelsCompleted() const { return levelsCompleted; }
    unsigned getCurrentLevel() const { return currentLevel; }
    std::size_t getLevelCount() const { return levels.size(); }
    int getLap() const { return lap; }
    // The best of the best score it was given and every score of its games.
    int getBestScore() const { return countsForBest && score > bestScore ? score : bestScore; }
    // A game watched (a replay, the demo) beats nobody's best: off, its scores neither raise the
    // best nor bring the news of a new one, and none is ever settled.
    void setCountsForBest(bool on) { countsForBest = on; }
    // The best score when this game's beat it: the game ends (or is left) and it is to be kept.
    std::optional<int> settleBestScore();
    int getCaughtCount(PowerUp kind) const { return caught[static_cast<std::size_t>(kind)]; }
    // The number of the level in play or shown, counting every level of the game (laps too): it
    // moves on when the next level comes, not while a cleared one is still shown.
    int getLevelNumber() const { return levelNumber; }
    // The chain's blocks so far and the multiplier the next block's points get.
    int getChain() const { return chain; }
    int getMultiplier() const;
    // The bonus of the level cleared last (counted into the score when the next level comes, or at
    // once without a banner).
    int getBonus() const { return bonus; }
    // The lap being played, or the one just cleared while it is shown.
    const LapFigures& getLapFigures() const { return lapFigures; }

    const MatchSettings& getSettings() const { return settings; }
    const PowerUpSettings& getPowerUpSettings() const { return powerUpSettings; }
    const PowerUpTimers& getPowerUps() const { return timers; }
    const LevelSettings& getLevelSettings(std::size_t index) const { return levels.at(index); }
    // What the level played, the lap and the effects in force make of the paddle's width and the
    // balls' speeds, as factors; and whether the paddle holds every ball that lands on it.
    float paddleWidthFactor() const;
    float ballSpeedFactor() const;
    bool isSticky() const { return timers.anyActive(Change::Sticky); }
    // The kind in force that changes `change`, if any.
    std::optional<PowerUp> activeKind(Change change) const { return timers.activeKind(change); }

private:
    void emit(MatchEvent::Kind kind) { events.push_back({kind}); }
    void bringLevel(unsigned index);
    // A cleared level's bonus held back for its banner joins the score now.
    void countPendingBonus();
    void levelDone();
    // The next level after a cleared one, and a new lap after the last.
    void advance();
    void endPowerUps();

    MatchSettings settings;
    PowerUpSettings powerUpSettings;
    std::vector<LevelSettings> levels;
    PowerUpTimers timers;
    CapsuleDraw draws;
    std::array<int, kPowerUpCount> caught{};
    GameState state = Initiated;
    bool inputEnabled = false;
    // Before the first new game the counters already show these, so they start where a new game
    // would put them.
    int lives = 3;
    int score = 0;
    int bestScore = 0;
    bool countsForBest = true;
    int levelsCompleted = 0;
    unsigned currentLevel = 0;
    int lap = 0;
    int levelNumber = 1;
    int chain = 0;
    LapFigures lapFigures;
    float levelSeconds = 0.0f;
    int bonus = 0;
    // The bonus waits for the next level while its level is shown cleared.
    int pendingBonus = 0;
    // The next score that brings a ball, and the best this game set out to beat.
    long long nextLifeAt = 0;
    int bestAtStart = 0;
    bool newBestSeen = false;
    // Seconds in the present state, for its delay; and until the next ball is served (while > 0).
    float stateTimer = 0.0f;
    float serveTimer = 0.0f;
    std::vector<MatchEvent> events;
};
