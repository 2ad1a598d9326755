// The match on its own: no entity, no window, no file. A game from its start to game over, the
// levels and laps, the capsules and their effects, each seen through the events it reports.
#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <vector>

#include "rules/Match.h"

namespace {

using Kinds = std::vector<MatchEvent::Kind>;

Kinds kindsOf(const std::vector<MatchEvent>& events) {
    Kinds kinds;
    for (const MatchEvent& event : events)
        kinds.push_back(event.kind);
    return kinds;
}

PowerUpSettings everyKindDefined() {
    PowerUpSettings settings;
    settings.defined.fill(true);
    settings.duration.fill(5.0f);
    return settings;
}

TEST(MatchTest, AGameGoesFromItsLoadingDelayToGameOverAndReportsEachStep) {
    MatchSettings settings;
    settings.initialLives = 1;
    settings.loadedDelay = 0.5f;
    settings.lostDelay = 0.2f;
    Match match(settings, PowerUpSettings{}, {LevelSettings{}, LevelSettings{}}, 100);
    EXPECT_EQ(Initiated, match.getState());
    EXPECT_EQ(1, match.getLives()) << "the counters show a new game's lives before the first";

    match.newGame(0, 1);
    const std::vector<MatchEvent> started = match.takeEvents();
    EXPECT_EQ((Kinds{MatchEvent::GameStarted, MatchEvent::LevelBrought}), kindsOf(started));
    EXPECT_EQ(0u, started[1].level);
    EXPECT_EQ(LevelLoaded, match.getState());
    EXPECT_FALSE(match.isInputEnabled());
    match.step(0.5f, false);
    EXPECT_TRUE(match.takeEvents().empty()) << "the delay passes strictly";
    match.step(0.01f, false);
    EXPECT_EQ(Kinds{MatchEvent::LevelStarted}, kindsOf(match.takeEvents()));
    EXPECT_TRUE(match.isInputEnabled());

    match.addScore(150);
    EXPECT_EQ(Kinds{MatchEvent::NewBest}, kindsOf(match.takeEvents())) << "150 passes the kept 100";
    match.addScore(10);
    EXPECT_TRUE(match.takeEvents().empty()) << "the news comes once a game";
    match.lastBallLost();
    EXPECT_EQ((Kinds{MatchEvent::PowerUpsEnded, MatchEvent::BallLost}), kindsOf(match.takeEvents()));
    EXPECT_EQ(0, match.getLives());
    match.step(0.1f, false);
    EXPECT_TRUE(match.takeEvents().empty());
    match.step(0.15f, false);
    EXPECT_EQ(Kinds{MatchEvent::BallServed}, kindsOf(match.takeEvents()));

    match.lastBallLost();
    EXPECT_EQ((Kinds{MatchEvent::PowerUpsEnded, MatchEvent::GameOver}), kindsOf(match.takeEvents()));
    EXPECT_EQ(GameOver, match.getState());
    EXPECT_EQ(-1, match.getLives());
    EXPECT_FALSE(match.isInputEnabled());
    match.lastBallLost();
    EXPECT_TRUE(match.takeEvents().empty()) << "nothing is counted after game over";
    EXPECT_EQ(-1, match.getLives());
    EXPECT_EQ(160, match.getBestScore());
    EXPECT_EQ(160, match.settleBestScore());
    EXPECT_FALSE(match.settleBestScore()) << "a best is kept once";

    // A game watched passes the best without a word and leaves it as it was.
    match.setCountsForBest(false);
    match.newGame(0, 1);
    match.step(0.51f, false);
    match.takeEvents();
    match.addScore(500);
    EXPECT_TRUE(match.takeEvents().empty()) << "no news of a best in a game watched";
    EXPECT_EQ(160, match.getBestScore());
    EXPECT_FALSE(match.settleBestScore());
    match.setCountsForBest(true);

    // The score saturates rather than wrap round.
    match.addScore(INT_MAX);
    EXPECT_EQ(INT_MAX, match.getScore());
}

TEST(MatchTest, ClearedLevelsBringALifeAndTheNextAndTheLastBringsAFasterLap) {
    MatchSettings settings;
    settings.loadedDelay = 0.0f;
    settings.clearedDelay = 0.3f;
    settings.allClearedDelay = 1.0f;
    settings.lapSpeedUp = 0.5f;
    LevelSettings fast;
    fast.ballSpeed = 1.2f;
    Match match(settings, PowerUpSettings{}, {fast, LevelSettings{}});
    match.newGame(0, 1);
    match.step(0.01f, false);
    match.takeEvents();
    const int lives = match.getLives();

    match.step(0.01f, true);
    EXPECT_EQ((Kinds{MatchEvent::PowerUpsEnded, MatchEvent::LevelCleared}), kindsOf(match.takeEvents()));
    EXPECT_EQ(LevelCleared, match.getState());
    EXPECT_EQ(lives + 1, match.getLives());
    EXPECT_EQ(1, match.getLevelsCompleted());
    match.step(0.31f, false);
    const std::vector<MatchEvent> next = match.takeEvents();
    ASSERT_EQ(Kinds{MatchEvent::LevelBrought}, kindsOf(next));
    EXPECT_EQ(1u, next[0].level);

    match.step(0.01f, false);
    EXPECT_EQ(Kinds{MatchEvent::LevelStarted}, kindsOf(match.takeEvents()));
    match.step(0.01f, true);
    EXPECT_EQ((Kinds{MatchEvent::PowerUpsEnded, MatchEvent::AllCleared}), kindsOf(match.takeEvents()));
    match.step(1.01f, false);
    const std::vector<MatchEvent> lap = match.takeEvents();
    ASSERT_EQ((Kinds{MatchEvent::LevelBrought, MatchEvent::LapStarted}), kindsOf(lap));
    EXPECT_EQ(0u, lap[0].level) << "the last level is followed by the first";
    EXPECT_EQ(1, lap[1].count);
    EXPECT_EQ(1, match.getLap());
    EXPECT_FLOAT_EQ(1.2f * 1.5f, match.ballSpeedFactor());
    EXPECT_EQ(2, match.getLevelsCompleted()) << "the level counter goes on counting";

    // A new game starts clean: no lap, its own lives.
    match.newGame(1, 1);
    EXPECT_EQ(0, match.getLap());
    EXPECT_EQ(settings.initialLives, match.getLives());
    EXPECT_EQ(1, match.getLevelsCompleted()) << "a game begun at the second level counts it";
}

TEST(MatchTest, CapsulesTakeEffectOnlyInPlayAndTimedOnesRunOut) {
    MatchSettings settings;
    settings.loadedDelay = 0.0f;
    LevelSettings narrowLevel;
    narrowLevel.paddleWidth = 0.5f;
    Match match(settings, everyKindDefined(), {narrowLevel});
    match.capsuleCaught(PowerUp::Life);
    EXPECT_TRUE(match.takeEvents().empty()) << "nothing is caught on the title";
    match.newGame(0, 1);
    match.step(0.01f, false);
    match.takeEvents();

    match.capsuleCaught(PowerUp::Multi);
    const std::vector<MatchEvent> multi = match.takeEvents();
    ASSERT_EQ((Kinds{MatchEvent::ExtraBalls, MatchEvent::PowerUpsChanged, MatchEvent::CapsuleCaught}), kindsOf(multi));
    EXPECT_EQ(kExtraBallsPerCapsule, multi[0].count);
    EXPECT_EQ(PowerUp::Multi, multi[2].powerUp);
    const int lives = match.getLives();
    match.capsuleCaught(PowerUp::Life);
    EXPECT_EQ(lives + 1, match.getLives());

    match.capsuleCaught(PowerUp::Wide);
    EXPECT_FLOAT_EQ(0.5f * 1.3f, match.paddleWidthFactor());
    EXPECT_EQ(PowerUp::Wide, match.activeKind(Change::PaddleWidth));
    match.capsuleCaught(PowerUp::Narrow);
    EXPECT_FALSE(match.getPowerUps().isActive(PowerUp::Wide)) << "a narrow paddle ends a wide one";
    EXPECT_FLOAT_EQ(0.5f * 0.7f, match.paddleWidthFactor());
    match.capsuleCaught(PowerUp::Slow);
    match.capsuleCaught(PowerUp::Sticky);
    EXPECT_FLOAT_EQ(0.7f, match.ballSpeedFactor());
    EXPECT_TRUE(match.isSticky());
    EXPECT_EQ(1, match.getCaughtCount(PowerUp::Wide));
    match.takeEvents();

    match.step(4.9f, false);
    EXPECT_TRUE(match.takeEvents().empty());
    match.step(0.2f, false);
    const std::vector<MatchEvent> ranOut = match.takeEvents();
    ASSERT_EQ((Kinds{MatchEvent::PowerUpEnded, MatchEvent::PowerUpEnded, MatchEvent::PowerUpEnded,
                     MatchEvent::PowerUpsChanged}),
              kindsOf(ranOut));
    EXPECT_EQ(PowerUp::Narrow, ranOut[0].powerUp) << "each kind that ran out, in the kinds' order";
    EXPECT_EQ(PowerUp::Slow, ranOut[1].powerUp);
    EXPECT_EQ(PowerUp::Sticky, ranOut[2].powerUp);
    EXPECT_FALSE(match.isSticky());
    EXPECT_FLOAT_EQ(0.5f, match.paddleWidthFactor());
}

TEST(MatchTest, TheSameSeedDrawsTheSameCapsulesAndABlocksOwnCapsuleNeedsItsKindDefined) {
    PowerUpSettings powerUps = everyKindDefined();
    powerUps.chance = 0.5f;
    Match match(MatchSettings{}, powerUps, {LevelSettings{}});
    const auto draws = [&](uint32_t seed) {
        match.newGame(0, seed);
        std::vector<int> drawn;
        for (int i = 0; i < 40; ++i) {
            const std::optional<PowerUp> kind = match.drawCapsule(std::nullopt);
            drawn.push_back(kind ? static_cast<int>(*kind) : -1);
        }
        return drawn;
    };
    const std::vector<int> first = draws(7);
    EXPECT_EQ(first, draws(7));
    EXPECT_NE(first, draws(8));
    EXPECT_NE(std::count(first.begin(), first.end(), -1), 0) << "a chance of one half releases some";
    EXPECT_NE(std::count(first.begin(), first.end(), -1), 40);

    EXPECT_EQ(PowerUp::Slow, match.drawCapsule(PowerUp::Slow));
    powerUps.defined[static_cast<std::size_t>(PowerUp::Slow)] = false;
    Match without(MatchSettings{}, powerUps, {LevelSettings{}});
    EXPECT_FALSE(without.drawCapsule(PowerUp::Slow));
}

// The scoring worth chasing: lives earned by points rather than given per level, a chain of blocks
// broken in a row multiplying their points, a cleared level's bonus counted after its banner, a
// level counter that waits for the next level, and the end of a lap that waits for the player.
TEST(MatchTest, LivesComeWithPointsChainsMultiplyAndALevelsBonusWaitsForItsBanner) {
    MatchSettings settings;
    settings.initialLives = 2;
    settings.loadedDelay = 0.0f;
    settings.clearedDelay = 1.0f;
    settings.allClearedDelay = 2.0f;
    settings.allClearedWaits = true;
    settings.lifePerLevel = false;
    settings.extraLifeEvery = 1000;
    settings.chainStep = 3;
    settings.chainMost = 3;
    settings.bonusPerLife = 100;
    settings.bonusPar = 60.0f;
    settings.bonusPerSecond = 10;
    Match match(settings, everyKindDefined(), {LevelSettings{}, LevelSettings{}});
    match.newGame(0, 1);
    match.step(0.01f, false);
    match.takeEvents();

    // Ten points a block: x1, x1, x1, x2, x2, x2, x3, x3...; a touch of the paddle starts again.
    for (int block = 0; block < 8; ++block)
        match.blockBroken(10);
    EXPECT_EQ(3 * 10 + 3 * 20 + 2 * 30, match.getScore());
    EXPECT_EQ(3, match.getMultiplier()) << "no further than chain_most";
    match.paddleTouched();
    EXPECT_EQ(1, match.getMultiplier());
    match.blockBroken(10);
    EXPECT_EQ(8, match.getLapFigures().bestChain);
    EXPECT_EQ(9, match.getLapFigures().blocks);

    match.addScore(1000 - match.getScore());
    EXPECT_EQ(Kinds{MatchEvent::LifeEarned}, kindsOf(match.takeEvents()));
    EXPECT_EQ(3, match.getLives());
    match.addScore(2500);
    EXPECT_EQ((Kinds{MatchEvent::LifeEarned, MatchEvent::LifeEarned}), kindsOf(match.takeEvents()));

    // Cleared after 19.99 s in play: 5 balls x 100 + 40 whole seconds under par x 10; no life for
    // the level itself.
    match.step(19.97f, false);
    const int score = match.getScore();
    match.step(0.01f, true);
    EXPECT_EQ(500 + 400, match.getBonus());
    EXPECT_EQ(5, match.getLives());
    EXPECT_EQ(score, match.getScore()) << "under the banner nothing counts yet";
    EXPECT_EQ(1, match.getLevelNumber()) << "the level counter waits for the next level";
    match.step(1.01f, false);
    EXPECT_EQ(score + 900, match.getScore());
    EXPECT_EQ(2, match.getLevelNumber());
    match.takeEvents();

    // The last level: the lap's end stays until the player goes on, not before its delay.
    match.step(0.01f, false);
    const int beforeLast = match.getScore();
    match.step(0.01f, true);
    EXPECT_EQ(AllCleared, match.getState());
    match.step(1.0f, false);
    match.proceed();
    EXPECT_EQ(beforeLast, match.getScore()) << "the bonus waits for the delay, and so does a click";
    match.step(30.0f, false);
    EXPECT_EQ(AllCleared, match.getState()) << "it waits for the player";
    EXPECT_EQ(beforeLast + match.getBonus(), match.getScore()) << "with the bonus counted in front of them";
    match.proceed();
    EXPECT_EQ(LevelLoaded, match.getState());
    EXPECT_EQ(1, match.getLap());
    EXPECT_EQ(0, match.getLapFigures().blocks) << "a new lap counts afresh";
    EXPECT_EQ(3, match.getLevelNumber());
}

} // namespace
