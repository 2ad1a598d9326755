// The match: its state machine, its counts and its power-ups, each change reported as an event.
#include "rules/Match.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace {
// a + b, held at the ends of int's range instead of overflowing.
int saturatingAdd(int a, int b) {
    const long long sum = static_cast<long long>(a) + b;
    return static_cast<int>(std::clamp<long long>(sum, INT_MIN, INT_MAX));
}
} // namespace

Match::Match(const MatchSettings& settings, const PowerUpSettings& powerUps, std::vector<LevelSettings> levels,
             int bestScore)
    : settings(settings), powerUpSettings(powerUps), levels(std::move(levels)), lives(settings.initialLives),
      bestScore(bestScore) {}

std::vector<MatchEvent> Match::takeEvents() {
    std::vector<MatchEvent> taken;
    taken.swap(events);
    return taken;
}

void Match::newGame(unsigned index, uint32_t seed) {
    score = 0;
    levelsCompleted = static_cast<int>(index);
    lives = settings.initialLives;
    serveTimer = 0.0f;
    lap = 0;
    chain = 0;
    lapFigures = {};
    bonus = 0;
    pendingBonus = 0;
    nextLifeAt = settings.extraLifeEvery;
    bestAtStart = bestScore;
    newBestSeen = false;
    // A game started in the middle of another starts as one from the title: the paddle waits for
    // the level to start.
    inputEnabled = false;
    draws.restart(seed);
    emit(MatchEvent::GameStarted);
    bringLevel(index);
}

void Match::bringLevel(unsigned index) {
    currentLevel = index;
    timers.endAll();
    stateTimer = 0.0f;
    levelSeconds = 0.0f;
    levelNumber = levelsCompleted + 1;
    state = LevelLoaded;
    events.push_back({MatchEvent::LevelBrought, index});
    // The bonus of the level cleared before is counted now that its banner has gone.
    countPendingBonus();
}

void Match::countPendingBonus() {
    if (pendingBonus > 0) {
        const int points = pendingBonus;
        pendingBonus = 0;
        addScore(points);
    }
}

void Match::advance() {
    const bool newLap = state == AllCleared || currentLevel + 1 >= levels.size();
    if (newLap) {
        ++lap;
        lapFigures = {};
    }
    bringLevel(static_cast<unsigned>((currentLevel + 1) % levels.size()));
    if (newLap)
        events.push_back({MatchEvent::LapStarted, 0, PowerUp::Wide, lap});
}

void Match::step(float dt, bool levelCleared) {
    switch (state) {
    case LevelLoaded:
        stateTimer += dt;
        if (stateTimer > settings.loadedDelay) {
            inputEnabled = true;
            state = Playing;
            emit(MatchEvent::LevelStarted);
        }
        break;
    case Playing:
        if (serveTimer > 0.0f) {
            serveTimer -= dt;
            if (!(serveTimer > 0.0f)) {
                serveTimer = 0.0f;
                emit(MatchEvent::BallServed);
            }
        }
        if (const unsigned ended = timers.tick(dt)) {
            for (const PowerUpKind& kind : kPowerUpKinds)
                if (ended & (1u << static_cast<unsigned>(kind.id)))
                    events.push_back({MatchEvent::PowerUpEnded, 0, kind.id});
            emit(MatchEvent::PowerUpsChanged);
        }
        levelSeconds += dt;
        lapFigures.seconds += dt;
        if (levelCleared)
            levelDone();
        break;
    case LevelCleared:
    case AllCleared:
        stateTimer += dt;
        // With "all_cleared_waits" the end of a lap stays until the player goes on; the last
        // level's bonus joins the score in front of them once its delay is over.
        if (state == AllCleared && settings.allClearedWaits) {
            if (stateTimer > settings.allClearedDelay)
                countPendingBonus();
            break;
        }
        if (stateTimer > (state == AllCleared ? settings.allClearedDelay : settings.clearedDelay))
            advance();
        break;
    case Initiated:
    case GameOver:
        break;
    }
}

void Match::levelDone() {
    serveTimer = 0.0f;
    ++levelsCompleted;
    if (settings.lifePerLevel)
        lives = saturatingAdd(lives, 1); // one extra ball for every cleared level
    // Capsules still falling and extra balls do not outlive their level.
    endPowerUps();
    const float underPar = settings.bonusPar - levelSeconds;
    bonus = saturatingAdd(
        static_cast<int>(std::min<long long>(static_cast<long long>(lives) * settings.bonusPerLife, INT_MAX)),
        underPar > 0.0f ? static_cast<int>(underPar) * settings.bonusPerSecond : 0);
    const bool lastLevel = currentLevel + 1 >= levels.size();
    const bool shown = (lastLevel && settings.allClearedDelay > 0.0f) || settings.clearedDelay > 0.0f;
    // Under a banner the bonus is counted up on it and added when the next level comes.
    if (shown)
        pendingBonus = bonus;
    else
        addScore(bonus);
    if (lastLevel && settings.allClearedDelay > 0.0f) {
        // The end of a lap: the score is shown a while, then the first level comes back faster.
        inputEnabled = false;
        stateTimer = 0.0f;
        state = AllCleared;
        emit(MatchEvent::AllCleared);
    } else if (settings.clearedDelay > 0.0f) {
        // The level stays on screen a moment, the ball at rest, before the next one.
        inputEnabled = false;
        stateTimer = 0.0f;
        state = LevelCleared;
        emit(MatchEvent::LevelCleared);
    } else {
        advance();
    }
}

void Match::proceed() {
    if (state == AllCleared && stateTimer > settings.allClearedDelay)
        advance();
}

void Match::endPowerUps() {
    timers.endAll();
    emit(MatchEvent::PowerUpsEnded);
}

void Match::lastBallLost() {
    // Nobody takes the ball back after game over, so it reports its loss every frame until the
    // next game; counting those would run the lives down without end.
    if (state == GameOver)
        return;
    endPowerUps();
    --lives;
    chain = 0;
    ++lapFigures.ballsLost;
    if (lives >= 0) {
        serveTimer = settings.lostDelay;
        emit(MatchEvent::BallLost);
        return;
    }
    state = GameOver;
    inputEnabled = false;
    emit(MatchEvent::GameOver);
}

void Match::blockBroken(int points) {
    const long long multiplied = static_cast<long long>(points) * getMultiplier();
    ++chain;
    ++lapFigures.blocks;
    lapFigures.bestChain = std::max(lapFigures.bestChain, chain);
    addScore(static_cast<int>(std::clamp<long long>(multiplied, INT_MIN, INT_MAX)));
}

int Match::getMultiplier() const {
    if (settings.chainStep <= 0)
        return 1;
    return std::clamp(1 + chain / settings.chainStep, 1, std::max(1, settings.chainMost));
}

void Match::addScore(int points) {
    score = saturatingAdd(score, points);
    // Counted wide, so that a score held at the largest int reaches no further ball.
    while (settings.extraLifeEvery > 0 && score >= nextLifeAt) {
        lives = saturatingAdd(lives, 1);
        nextLifeAt += settings.extraLifeEvery;
        emit(MatchEvent::LifeEarned);
    }
    if (countsForBest && !newBestSeen && bestAtStart > 0 && score > bestAtStart) {
        newBestSeen = true;
        emit(MatchEvent::NewBest);
    }
}

void Match::capsuleCaught(PowerUp kind) {
    if (state != Playing)
        return;
    ++caught[static_cast<std::size_t>(kind)];
    addScore(powerUpSettings.points);
    switch (kindOf(kind).action) {
    case CatchAction::ExtraBalls:
        events.push_back({MatchEvent::ExtraBalls, 0, kind, kExtraBallsPerCapsule});
        break;
    case CatchAction::ExtraLife:
        lives = saturatingAdd(lives, 1);
        break;
    case CatchAction::Timed:
        timers.start(kind, powerUpSettings.durationOf(kind));
        break;
    }
    emit(MatchEvent::PowerUpsChanged);
    events.push_back({MatchEvent::CapsuleCaught, 0, kind});
}

std::optional<PowerUp> Match::drawCapsule(std::optional<PowerUp> blockCapsule) {
    const LevelSettings& level = levels.at(currentLevel);
    const float chance = level.capsuleChance >= 0.0f ? level.capsuleChance : powerUpSettings.chance;
    return draws.draw(blockCapsule, chance, powerUpSettings);
}

void Match::fireGuns() {
    if (state == Playing && timers.fire(powerUpSettings.shotCooldown))
        events.push_back({MatchEvent::VolleyFired, 0, *timers.activeKind(Change::Guns)});
}

std::optional<int> Match::settleBestScore() {
    if (!countsForBest || score <= bestScore)
        return std::nullopt;
    bestScore = score;
    return bestScore;
}

float Match::paddleWidthFactor() const {
    return levels.at(currentLevel).paddleWidth * timers.factorFor(Change::PaddleWidth, powerUpSettings);
}

float Match::ballSpeedFactor() const {
    float speed = levels.at(currentLevel).ballSpeed * (1.0f + settings.lapSpeedUp * static_cast<float>(lap));
    return speed * timers.factorFor(Change::BallSpeed, powerUpSettings);
}
